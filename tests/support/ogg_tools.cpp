#include "ogg_tools.hpp"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "process.hpp"

DecodedAudio as_decoded_audio(std::uint32_t sample_rate, const StereoPcm& pcm) {
    DecodedAudio audio;
    audio.sample_rate = sample_rate;
    for (std::size_t channel = 0; channel < 2; ++channel) {
        for (std::int16_t sample : pcm[channel]) {
            audio.channels[channel].push_back(static_cast<float>(sample) / 32768.0f);
        }
    }
    return audio;
}

int vorbis_frame_size(int sample_rate) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_VORBIS);
    AVCodecContext* context = avcodec_alloc_context3(encoder);
    av_channel_layout_default(&context->ch_layout, 2);
    context->sample_rate = sample_rate;
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->bit_rate = 192000;
    const int opened = avcodec_open2(context, encoder, nullptr);
    const int frame_size = opened < 0 ? -1 : context->frame_size;
    avcodec_free_context(&context);
    if (frame_size <= 0) {
        throw std::runtime_error("cannot open the Vorbis encoder");
    }
    return frame_size;
}

std::string decode_with_oggdec(const std::filesystem::path& ogg, const std::filesystem::path& scratch) {
    const std::filesystem::path raw = scratch / "decoded.raw";
    const ProcessResult result = run_process({"oggdec", "-Q", "-R", "-o", raw.string(), ogg.string()}, scratch);
    if (result.status != 0) {
        throw std::runtime_error("oggdec failed: " + result.err);
    }
    std::string bytes = read_text(raw);
    std::filesystem::remove(raw);
    return bytes;
}

void encode_with_ffmpeg_cli(const DecodedAudio& audio, const std::filesystem::path& ogg,
                            const std::filesystem::path& scratch) {
    const std::filesystem::path pcm = scratch / "reference.f32";
    std::vector<float> interleaved;
    for (std::size_t i = 0; i < audio.channels[0].size(); ++i) {
        interleaved.push_back(audio.channels[0][i]);
        interleaved.push_back(audio.channels[1][i]);
    }
    std::ofstream(pcm, std::ios::binary)
        .write(reinterpret_cast<const char*>(interleaved.data()),
               static_cast<std::streamsize>(interleaved.size() * sizeof(float)));
    const ProcessResult result =
        run_process({"ffmpeg", "-v", "error", "-nostdin", "-y", "-f", "f32le", "-ar",
                     std::to_string(audio.sample_rate), "-ac", "2", "-i", pcm.string(), "-c:a",
                     "libvorbis", "-b:a", "192k", ogg.string()},
                    scratch);
    std::filesystem::remove(pcm);
    if (result.status != 0) {
        throw std::runtime_error("ffmpeg failed: " + result.err);
    }
}
