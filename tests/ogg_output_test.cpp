#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ild/ild_reader.hpp"
#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "ogg/ogg_vorbis_writer.hpp"
#include "ogg_tools.hpp"
#include "process.hpp"
#include "temp_dir.hpp"

namespace {

DecodedAudio music(std::uint32_t rate, std::size_t frames) {
    return as_decoded_audio(rate, music_signal(rate, frames));
}

// The energy of the difference between 16-bit interleaved `decoded` and `audio`.
double noise_energy(const DecodedAudio& audio, const std::string& decoded) {
    double energy = 0;
    for (std::size_t i = 0; i < decoded.size() / 4; ++i) {
        for (std::size_t channel = 0; channel < 2; ++channel) {
            std::int16_t sample = 0;
            std::memcpy(&sample, decoded.data() + 4 * i + 2 * channel, 2);
            const double error = sample / 32768.0 - audio.channels[channel][i];
            energy += error * error;
        }
    }
    return energy;
}

// libvorbis gives the same audio for the same samples however they were cut
// into frames, so a frame dropped, shortened, misplaced or mistimed shows up
// as a loss of fidelity against FFmpeg's own command line. The bundled
// libvorbis rounds differently from the system's, hence a margin of 0.3 dB.
void expect_same_audio_as_ffmpeg(const DecodedAudio& audio, const std::filesystem::path& ogg,
                                 const TempDir& dir) {
    encode_with_ffmpeg_cli(audio, dir / "reference.ogg", dir.path());
    const std::string ours = decode_with_oggdec(ogg, dir.path());
    const std::string reference = decode_with_oggdec(dir / "reference.ogg", dir.path());
    ASSERT_EQ(ours.size(), audio.channels[0].size() * 4) << "frames in the file";
    EXPECT_LE(noise_energy(audio, ours), noise_energy(audio, reference) * std::pow(10.0, 0.03))
        << "decoded audio is further from the samples than FFmpeg's encoding";
}

class FrameCutting : public testing::TestWithParam<int> {};

TEST_P(FrameCutting, KeepsEverySampleInPlace) {
    const int frame_size = vorbis_frame_size(44100);
    const auto frames = static_cast<std::size_t>(GetParam() == -1 ? frame_size + 1 : GetParam() * frame_size);
    const DecodedAudio audio = music(44100, frames);
    TempDir dir;
    write_ogg_vorbis(audio, dir / "out.ogg");
    expect_same_audio_as_ffmpeg(audio, dir / "out.ogg", dir);
}

// Multiples of the frame size, and -1 for one sample more than a frame.
INSTANTIATE_TEST_SUITE_P(Sizes, FrameCutting, testing::Values(0, 1, -1, 2));

// The whole road: a real signal coded to ILD, converted by the tool, decoded
// by libvorbisfile, against FFmpeg's encoding of the samples the coder says a
// correct decoder gives. A decoder off by one step anywhere fails this.
TEST(Conversion, MatchesFfmpegOnTheCodedSignal) {
    TempDir dir;
    const std::uint32_t rate = 48000;
    const IldEncoding encoding = encode_ild(rate, music_signal(rate, 3 * rate));
    write_file(dir / "music.ild", encoding.file);

    const ProcessResult run = run_process({TOOL_BINARY, (dir / "music.ild").string(), (dir / "music.ogg").string()},
                                          dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::to_string(encoding.decoded[0].size()) + " frames at 48000 Hz\n");
    EXPECT_EQ(run.err, "");

    expect_same_audio_as_ffmpeg(as_decoded_audio(rate, encoding.decoded), dir / "music.ogg", dir);

    const ProcessResult probe = run_process(
        {"ffprobe", "-v", "error", "-show_entries", "stream=codec_name,channels,sample_rate", "-of", "csv=p=0",
         (dir / "music.ogg").string()},
        dir.path());
    EXPECT_EQ(probe.out, "vorbis,48000,2\n");
    const ProcessResult info = run_process({"ogginfo", (dir / "music.ogg").string()}, dir.path());
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out.find("WARNING"), std::string::npos) << info.out;
}

TEST(Conversion, WritesOggWhateverTheName) {
    TempDir dir;
    const DecodedAudio audio = music(44100, 1000);
    for (const char* name : {"out.wav", "no_extension", "grüße ♪.ogg"}) {
        write_ogg_vorbis(audio, dir / name);
        EXPECT_EQ(read_text(dir / name).substr(0, 4), "OggS") << name;
    }
}

TEST(Conversion, ReportsFfmpegsReasonForAMissingDirectory) {
    TempDir dir;
    try {
        write_ogg_vorbis(music(44100, 100), dir / "missing" / "out.ogg");
        FAIL() << "wrote into a missing directory";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "No such file or directory");
    }
}

// Debian's libvorbis at 192 kbit/s opens only at 15000-19000 and 26000-50000 Hz;
// the README promises these bands, so their edges are checked.
TEST(Conversion, RatesThatOpenTheEncoder) {
    TempDir dir;
    for (std::uint32_t rate : {8000u, 14999u, 15000u, 19000u, 19001u, 22050u, 25999u, 26000u, 44100u,
                               50000u, 50001u, 192000u}) {
        const bool opens = (rate >= 15000 && rate <= 19000) || (rate >= 26000 && rate <= 50000);
        try {
            write_ogg_vorbis(music(rate, 500), dir / "out.ogg");
            EXPECT_TRUE(opens) << rate << " Hz converted";
        } catch (const std::runtime_error& error) {
            EXPECT_FALSE(opens) << rate << " Hz: " << error.what();
            EXPECT_STREQ(error.what(), "Invalid argument");
        }
    }
}

}  // namespace
