#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

extern "C" {
#include <libavutil/error.h>
}

#include "support.hpp"
#include "ild_writer.hpp"
#include "music_signal.hpp"

namespace {

// How far the writer got before it failed, which decides what it must release.
enum class Reached { nothing, muxer, file };
using enum Reached;

// The FFmpeg function made to fail at its call-th use, returning `code` (allocators: null).
struct FaultCase {
    std::string name;
    std::string function;
    int call;
    int code;
    std::string err;  // the tool's one line on stderr
    Reached reached;
    std::string last_call = "";  // the last FFmpeg call before the releases, when not `function`

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

// 11032 frames: 173 encoder frames of 64, the last one short. libvorbis hands out
// 10 packets while the frames go in and 8 more after the end-of-stream signal.
const std::vector<FaultCase> fault_cases = {
    {"muxer_missing", "avformat_alloc_output_context2", 1, AVERROR_MUXER_NOT_FOUND, "Muxer not found", nothing},
    // A null encoder, frame or packet is reported once the muxer is made and the encoder looked up.
    {"find_encoder", "avcodec_find_encoder", 1, 0, "Vorbis encoder is unavailable", muxer},
    {"frame_alloc", "av_frame_alloc", 1, 0, "Vorbis encoder is unavailable", muxer, "avcodec_find_encoder"},
    {"packet_alloc", "av_packet_alloc", 1, 0, "Vorbis encoder is unavailable", muxer, "avcodec_find_encoder"},
    {"alloc_context", "avcodec_alloc_context3", 1, 0, "Unable to allocate Vorbis encoder", muxer},
    {"open_encoder", "avcodec_open2", 1, AVERROR(EINVAL), "Invalid argument", muxer},
    {"new_stream", "avformat_new_stream", 1, 0, "Unable to allocate Ogg stream", muxer},
    {"parameters", "avcodec_parameters_from_context", 1, AVERROR(ENOMEM), "Cannot allocate memory", muxer},
    {"open_file", "avio_open", 1, AVERROR(EACCES), "Permission denied", muxer},
    {"write_header", "avformat_write_header", 1, AVERROR(EIO), "Input/output error", file},
    {"layout_copy", "av_channel_layout_copy", 1, AVERROR(ENOMEM), "Cannot allocate memory", file},
    {"zero_frame_size", "zero_frame_size", 0, 0, "Invalid encoder frame size", file, "av_channel_layout_copy"},
    {"frame_buffer", "av_frame_get_buffer", 1, AVERROR(ENOMEM), "Cannot allocate memory", file},
    {"make_writable", "av_frame_make_writable", 20, AVERROR(ENOMEM), "Cannot allocate memory", file},
    // EAGAIN and EOF only end a drain; from anywhere else they are failures.
    {"send_again", "avcodec_send_frame", 1, AVERROR(EAGAIN), "Resource temporarily unavailable", file},
    {"send_eof", "avcodec_send_frame", 30, AVERROR_EOF, "End of file", file},
    {"receive", "avcodec_receive_packet", 12, AVERROR(EINVAL), "Invalid argument", file},
    {"write", "av_interleaved_write_frame", 1, AVERROR(ENOSPC), "No space left on device", file},
    {"send_end_of_stream", "avcodec_send_frame", 174, AVERROR(EINVAL), "Invalid argument", file},
    {"receive_last_drain", "avcodec_receive_packet", 184, AVERROR(EINVAL), "Invalid argument", file},
    {"write_last_drain", "av_interleaved_write_frame", 11, AVERROR(ENOSPC), "No space left on device", file},
    {"write_trailer", "av_write_trailer", 1, AVERROR(EIO), "Input/output error", file},
};

class FaultInjection : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultInjection, FailsWithItsLineReleasesInOrderRemovesOutput) {
    const FaultCase& c = GetParam();
    TempDir dir;
    write_file(dir / "in.ild", encode_ild(44100, music_signal(44100, 11032)).file);
    write_file(dir / "out.ogg", {'o', 'l', 'd'});
    const std::string fault = c.function + ":" + std::to_string(c.call) + ":" + std::to_string(c.code);
    const ProcessResult run =
        run_process({FAULT_INJECTED_TOOL, utf8_text(dir / "in.ild"), utf8_text(dir / "out.ogg")}, dir.path,
                    {"BRINDLEWOOD_FAULT=" + fault, "BRINDLEWOOD_FAULT_LOG=" + utf8_text(dir / "calls.log")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.ogg"));

    // Nothing after the failed call but the releases: frame, packet, codec context, then file and muxer.
    std::string releases = c.last_call.empty() ? c.function : c.last_call;
    releases += "\nav_frame_free\nav_packet_free\navcodec_free_context\n";
    releases += c.reached == file ? "avio_closep\n" : "";
    releases += c.reached != nothing ? "avformat_free_context\n" : "";
    EXPECT_THAT(read_text(dir / "calls.log"), testing::EndsWith(releases));
}

INSTANTIATE_TEST_SUITE_P(EveryWriterCall, FaultInjection, testing::ValuesIn(fault_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
