#include "ogg/ogg_vorbis_writer.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ogg/check_av.hpp"
#include "ogg/drain_packets.hpp"
#include "ogg/encoder_session.hpp"

namespace {

constexpr std::int64_t vorbis_bit_rate = 192000;

std::string utf8_name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

void configure_encoder(AVCodecContext* codec_context, const AVFormatContext* format_context,
                       std::uint32_t sample_rate) {
    av_channel_layout_default(&codec_context->ch_layout, 2);
    codec_context->sample_rate = static_cast<int>(sample_rate);
    codec_context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec_context->time_base = AVRational{1, static_cast<int>(sample_rate)};
    codec_context->bit_rate = vorbis_bit_rate;
    codec_context->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    if (format_context->oformat->flags & AVFMT_GLOBALHEADER) {
        codec_context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
}

// Everything up to the written header: muxer, opened encoder, its stream, the file.
void open_output(EncoderSession& session, const std::string& name, std::uint32_t sample_rate) {
    check_av(avformat_alloc_output_context2(&session.format_context, nullptr, "ogg", name.c_str()));
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_VORBIS);
    if (encoder == nullptr || session.frame == nullptr || session.packet == nullptr ||
        session.format_context == nullptr) {
        throw std::runtime_error("Vorbis encoder is unavailable");
    }
    session.codec_context = avcodec_alloc_context3(encoder);
    if (session.codec_context == nullptr) {
        throw std::runtime_error("Unable to allocate Vorbis encoder");
    }
    configure_encoder(session.codec_context, session.format_context, sample_rate);
    check_av(avcodec_open2(session.codec_context, encoder, nullptr));

    AVStream* stream = avformat_new_stream(session.format_context, nullptr);
    if (stream == nullptr) {
        throw std::runtime_error("Unable to allocate Ogg stream");
    }
    stream->time_base = session.codec_context->time_base;
    check_av(avcodec_parameters_from_context(stream->codecpar, session.codec_context));

    check_av(avio_open(&session.format_context->pb, name.c_str(), AVIO_FLAG_WRITE));
    check_av(avformat_write_header(session.format_context, nullptr));
}

// The one frame reused for the whole stream, sized to the encoder's frame.
void prepare_frame(EncoderSession& session, std::uint32_t sample_rate) {
    AVFrame* frame = session.frame;
    frame->format = session.codec_context->sample_fmt;
    frame->sample_rate = static_cast<int>(sample_rate);
    check_av(av_channel_layout_copy(&frame->ch_layout, &session.codec_context->ch_layout));
    frame->nb_samples = session.codec_context->frame_size;
    if (frame->nb_samples <= 0) {
        throw std::runtime_error("Invalid encoder frame size");
    }
    check_av(av_frame_get_buffer(frame, 0));
}

void encode_samples(EncoderSession& session, const DecodedAudio& audio) {
    const std::vector<float>& left = audio.channels[0];
    const std::vector<float>& right = audio.channels[1];
    // Both channels always match; the smaller length keeps a broken input from reading past one.
    const std::uint64_t total = std::min(left.size(), right.size());
    AVFrame* frame = session.frame;
    for (std::uint64_t position = 0; position < total;) {
        check_av(av_frame_make_writable(frame));
        const auto frame_size = static_cast<std::uint64_t>(session.codec_context->frame_size);
        const std::uint64_t count = std::min(frame_size, total - position);
        frame->nb_samples = static_cast<int>(count);
        std::memcpy(frame->data[0], left.data() + position, count * sizeof(float));
        std::memcpy(frame->data[1], right.data() + position, count * sizeof(float));
        frame->pts = static_cast<std::int64_t>(position);
        check_av(avcodec_send_frame(session.codec_context, frame));
        drain_packets(session);
        position += frame_size;
    }
}

}  // namespace

void write_ogg_vorbis(const DecodedAudio& audio, const std::filesystem::path& output) {
    // FFmpeg logs to stderr by default; the tool's failures must be one line of its own.
    av_log_set_level(AV_LOG_QUIET);

    EncoderSession session;
    const std::string name = utf8_name(output);  // released before the session

    open_output(session, name, audio.sample_rate);
    prepare_frame(session, audio.sample_rate);
    encode_samples(session, audio);

    check_av(avcodec_send_frame(session.codec_context, nullptr));
    drain_packets(session);
    check_av(av_write_trailer(session.format_context));
}
