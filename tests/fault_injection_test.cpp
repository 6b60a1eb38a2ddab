#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/error.h>
}

#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "process.hpp"
#include "temp_dir.hpp"

namespace {

// How far the writer got before it failed, which decides what it must release.
enum class Reached { nothing, muxer, open_file };

struct FaultCase {
    std::string name;
    std::string fault;                    // BRINDLEWOOD_FAULT for the fault-injected tool
    std::string err;                      // the one stderr line; empty for a run that succeeds
    std::vector<std::string> last_calls;  // the FFmpeg calls just before the releases
    Reached reached;

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

std::string fault(const std::string& function, int call, int code = 0) {
    return function + ":" + std::to_string(call) + ":" + std::to_string(code);
}

// 11032 samples: 173 encoder frames of 64, the last one short. libvorbis hands
// out 10 packets while the frames go in and 8 more after the end-of-stream signal.
constexpr int input_frames = 11032;

const std::vector<FaultCase> fault_cases = {
    {"alloc_output_context", fault("avformat_alloc_output_context2", 1, AVERROR(ENOMEM)), "Cannot allocate memory",
     {"avformat_alloc_output_context2"}, Reached::nothing},
    {"muxer_missing", fault("avformat_alloc_output_context2", 1, AVERROR_MUXER_NOT_FOUND), "Muxer not found",
     {"avformat_alloc_output_context2"}, Reached::nothing},
    // A null frame or packet is reported only after the muxer was made and the encoder looked up.
    {"find_encoder", fault("avcodec_find_encoder", 1), "Vorbis encoder is unavailable",
     {"avformat_alloc_output_context2", "avcodec_find_encoder"}, Reached::muxer},
    {"frame_alloc", fault("av_frame_alloc", 1), "Vorbis encoder is unavailable",
     {"avformat_alloc_output_context2", "avcodec_find_encoder"}, Reached::muxer},
    {"packet_alloc", fault("av_packet_alloc", 1), "Vorbis encoder is unavailable",
     {"avformat_alloc_output_context2", "avcodec_find_encoder"}, Reached::muxer},
    {"alloc_context", fault("avcodec_alloc_context3", 1), "Unable to allocate Vorbis encoder",
     {"avcodec_alloc_context3"}, Reached::muxer},
    {"open_encoder", fault("avcodec_open2", 1, AVERROR(EINVAL)), "Invalid argument", {"avcodec_open2"},
     Reached::muxer},
    {"new_stream", fault("avformat_new_stream", 1), "Unable to allocate Ogg stream", {"avformat_new_stream"},
     Reached::muxer},
    {"parameters_from_context", fault("avcodec_parameters_from_context", 1, AVERROR(ENOMEM)),
     "Cannot allocate memory", {"avcodec_parameters_from_context"}, Reached::muxer},
    {"open_file", fault("avio_open", 1, AVERROR(EACCES)), "Permission denied", {"avio_open"}, Reached::muxer},
    {"write_header", fault("avformat_write_header", 1, AVERROR(EIO)), "Input/output error",
     {"avformat_write_header"}, Reached::open_file},
    {"channel_layout_copy", fault("av_channel_layout_copy", 1, AVERROR(ENOMEM)), "Cannot allocate memory",
     {"av_channel_layout_copy"}, Reached::open_file},
    // The header is already written when the frame size is found wanting.
    {"zero_frame_size", fault("zero_frame_size", 0), "Invalid encoder frame size",
     {"avformat_write_header", "av_channel_layout_copy"}, Reached::open_file},
    {"frame_get_buffer", fault("av_frame_get_buffer", 1, AVERROR(ENOMEM)), "Cannot allocate memory",
     {"av_frame_get_buffer"}, Reached::open_file},
    {"first_make_writable", fault("av_frame_make_writable", 1, AVERROR(ENOMEM)), "Cannot allocate memory",
     {"av_frame_get_buffer", "av_frame_make_writable"}, Reached::open_file},
    {"later_make_writable", fault("av_frame_make_writable", 20, AVERROR(ENOMEM)), "Cannot allocate memory",
     {"avcodec_receive_packet", "av_frame_make_writable"}, Reached::open_file},
    {"send_frame_again", fault("avcodec_send_frame", 1, AVERROR(EAGAIN)), "Resource temporarily unavailable",
     {"av_frame_make_writable", "avcodec_send_frame"}, Reached::open_file},
    {"send_frame_eof", fault("avcodec_send_frame", 30, AVERROR_EOF), "End of file",
     {"av_frame_make_writable", "avcodec_send_frame"}, Reached::open_file},
    {"receive_packet", fault("avcodec_receive_packet", 12, AVERROR(EINVAL)), "Invalid argument",
     {"avcodec_send_frame", "avcodec_receive_packet"}, Reached::open_file},
    {"write_packet", fault("av_interleaved_write_frame", 1, AVERROR(ENOSPC)), "No space left on device",
     {"avcodec_send_frame", "avcodec_receive_packet", "av_interleaved_write_frame"}, Reached::open_file},
    {"send_end_of_stream", fault("avcodec_send_frame(null)", 1, AVERROR(EINVAL)), "Invalid argument",
     {"avcodec_send_frame(null)"}, Reached::open_file},
    {"send_end_of_stream_eof", fault("avcodec_send_frame(null)", 1, AVERROR_EOF), "End of file",
     {"avcodec_send_frame(null)"}, Reached::open_file},
    {"receive_packet_last_drain", fault("avcodec_receive_packet", 184, AVERROR(EINVAL)), "Invalid argument",
     {"avcodec_send_frame(null)", "avcodec_receive_packet"}, Reached::open_file},
    {"write_packet_last_drain", fault("av_interleaved_write_frame", 11, AVERROR(ENOSPC)), "No space left on device",
     {"avcodec_send_frame(null)", "avcodec_receive_packet", "av_interleaved_write_frame"}, Reached::open_file},
    {"write_trailer", fault("av_write_trailer", 1, AVERROR(EIO)), "Input/output error",
     {"avcodec_receive_packet", "av_write_trailer"}, Reached::open_file},
    // From the encoder's receive, EAGAIN and EOF only end a drain.
    {"receive_again_is_quiet", fault("avcodec_receive_packet", 1, AVERROR(EAGAIN)), "",
     {"avcodec_receive_packet", "av_write_trailer"}, Reached::open_file},
    {"receive_eof_is_quiet", fault("avcodec_receive_packet", 20, AVERROR_EOF), "",
     {"avcodec_receive_packet", "av_write_trailer"}, Reached::open_file},
};

// Frame, packet, codec context, then the file and the muxer, whichever exist.
std::vector<std::string> releases(Reached reached) {
    std::vector<std::string> calls = {"av_frame_free", "av_packet_free", "avcodec_free_context"};
    if (reached == Reached::open_file) {
        calls.push_back("avio_closep");
    }
    if (reached != Reached::nothing) {
        calls.push_back("avformat_free_context");
    }
    return calls;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

class FaultInjection : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultInjection, FailsCleanlyWithItsLine) {
    const FaultCase& c = GetParam();
    TempDir dir;
    write_file(dir / "in.ild", encode_ild(44100, music_signal(44100, input_frames)).file);
    const std::string output = (dir / "out.ogg").string();

    const ProcessResult run = run_process({"env", "BRINDLEWOOD_FAULT=" + c.fault,
                                           "BRINDLEWOOD_FAULT_LOG=" + (dir / "calls.log").string(),
                                           FAULT_INJECTED_TOOL, (dir / "in.ild").string(), output},
                                          dir.path());
    if (c.err.empty()) {
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, std::to_string(input_frames) + " frames at 44100 Hz\n");
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(std::filesystem::exists(output));
    } else {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err + "\n");
        EXPECT_FALSE(std::filesystem::exists(output));
    }

    // The injected call was reached, nothing was called after it but the releases, in their order.
    std::vector<std::string> tail = c.last_calls;
    for (const std::string& release : releases(c.reached)) {
        tail.push_back(release);
    }
    const std::vector<std::string> calls = lines(read_text(dir / "calls.log"));
    ASSERT_GE(calls.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - static_cast<std::ptrdiff_t>(tail.size()), calls.end()), tail);
}

INSTANTIATE_TEST_SUITE_P(EveryWriterCall, FaultInjection, testing::ValuesIn(fault_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
