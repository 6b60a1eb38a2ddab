#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>
#include <tuple>
#include <system_error>

#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "support.hpp"

namespace {

const std::u8string music = u8"mús ♪.ild";  // 11032 frames: 173 encoder frames of 64, the last one short

// The same samples at every rate: relative to the rate, the tones stay where they are at
// 48000 Hz, and so does what a shifted sample or swapped channels cost.
std::vector<std::uint8_t> tones_ild(std::uint32_t rate) { return encode_ild(rate, two_tones(48000, 11032)).file; }

void write_inputs(const TempDir& dir) {
    write_file(dir / music, tones_ild(48000));  // 48000: a rate taken elsewhere shows
    write_file(dir / "no_audio.ild", ild_header(32000, 0));
    std::filesystem::create_directory(dir / "folder");
    // 100 MiB of zero block pairs, silence, whose decoding takes some 800 MiB; sparse, so free.
    write_file(dir / "silence.ild", ild_header(44100, 100 << 20));
    std::filesystem::resize_file(dir / "silence.ild", ild_header_size + (100 << 20));
    std::vector<std::uint8_t> bad_block = tones_ild(48000);
    bad_block[ild_header_size] = 0x50;  // predictor 5
    write_file(dir / "bad_block.ild", bad_block);
}

// Reads `ogg` back with libvorbisfile and holds it against what a correct decoder gives for
// the two tones of the frame count and rate that `summary` states. `nominal` 0: none stated.
void expect_ogg_of(const std::filesystem::path& ogg, const std::string& summary, long nominal = 192000) {
    std::size_t frames = 0;
    std::uint32_t rate = 0;
    std::sscanf(summary.c_str(), "%zu frames at %u Hz", &frames, &rate);
    const StereoPcm pcm = encode_ild(rate, two_tones(48000, frames)).decoded;
    OggVorbis_File vorbis;
    ASSERT_EQ(ov_fopen(utf8_text(ogg).c_str(), &vorbis), 0);
    const vorbis_info& info = *ov_info(&vorbis, -1);
    const long stated = std::max(info.bitrate_nominal, 0L);  // a Vorbis header states none with 0 or less
    EXPECT_EQ(std::tuple(info.channels, info.rate, stated), std::tuple(2, rate, nominal));
    EXPECT_EQ(ov_pcm_total(&vorbis, -1), static_cast<ogg_int64_t>(pcm[0].size()));  // the final granule position
    float** decoded = nullptr;
    int section = 0;
    std::size_t frame = 0;
    float worst = 0;
    for (long count = 0; (count = ov_read_float(&vorbis, &decoded, 4096, &section)) > 0; frame += count) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(count) && frame + i < pcm[0].size(); ++i) {
            worst = std::max({worst, std::abs(decoded[0][i] - pcm[0][frame + i] / 32768.0f),
                              std::abs(decoded[1][i] - pcm[1][frame + i] / 32768.0f)});
        }
    }
    ov_clear(&vorbis);
    EXPECT_EQ(frame, pcm[0].size());
    // Measured: at most 0.04, and 0.2 or more with a sample shifted, a frame misplaced, channels swapped.
    EXPECT_LT(worst, 0.075f);
}

const std::string usage = "Usage: brindlewood_orvo_audio input.ild output.ogg\n";
const std::string converted = "11032 frames at 48000 Hz\n";
const std::string bad_utf8 = std::make_error_code(std::errc::illegal_byte_sequence).message() + "\n";
// What the memory rows let the tool map. Measured: a short file converts within 12 MiB (bundled
// codecs) or 192 MiB (the system's FFmpeg and all it loads).
const std::size_t memory_limit = std::size_t{512} << 20;

struct CliCase {
    std::string name;
    std::vector<std::u8string> args = {};  // names in the test's folder; absolute paths stay
    int status = 0;
    std::string out = "";
    std::string err = "";
    bool output_kept = false;  // whether what args[1] names before the run is there after it
    RunsOn runs_on = RunsOn::everywhere;
    bool output_read_only = false;
    std::size_t address_space = 0;  // bytes the tool may map; 0: no limit
    long nominal = 192000;          // the output's nominal bit rate; 0: none stated
    std::uint32_t tones_rate = 0;   // when set, args[0] is the two tones at this rate

    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }
};

// libvorbis sets up 192 kbit/s on average only in a band of rates (48000 Hz, above, is in it).
// The bundled encoder falls back to the nearest average it takes, or to VBR stating none
// where it takes none; the system's FFmpeg refuses.
CliCase rate_case(std::uint32_t rate, long nominal) {
    const std::string hz = std::to_string(rate);
    const bool converts = BUNDLED_CODECS;
    return {.name = "rate_" + hz, .args = {u8"tones.ild", u8"out.ogg"}, .status = converts ? 0 : 1,
            .out = converts ? "11032 frames at " + hz + " Hz\n" : "", .err = converts ? "" : "Invalid argument\n",
            .output_kept = converts, .nominal = nominal, .tones_rate = rate};
}

const std::vector<CliCase> cli_cases = {
    {.name = "no_arguments", .status = 2, .err = usage, .output_kept = true},
    {.name = "three_arguments", .args = {music, u8"out.ogg", u8"extra"}, .status = 2, .err = usage,
     .output_kept = true},
    {.name = "converts_utf8_names_any_extension", .args = {music, u8"ñ.wav"}, .out = converted, .output_kept = true},
    {.name = "no_audio", .args = {u8"no_audio.ild", u8"out.ogg"}, .out = "0 frames at 32000 Hz\n", .output_kept = true},
    {.name = "same_path_overwritten_with_ogg", .args = {music, music}, .out = converted, .output_kept = true},
    {.name = "missing_input", .args = {u8"missing.ild", u8"out.ogg"}, .status = 1, .err = "Invalid ILD length\n"},
    {.name = "invalid_block", .args = {u8"bad_block.ild", u8"out.ogg"}, .status = 1, .err = "Invalid PS ADPCM block\n"},
    {.name = "same_path_deleted_on_failure", .args = {u8"bad_block.ild", u8"bad_block.ild"}, .status = 1,
     .err = "Invalid PS ADPCM block\n"},
    // Arguments that are not UTF-8: Windows has none, and Node replaces their bytes.
    {.name = "input_not_utf8", .args = {u8"\xC0\xAF.ild", u8"out.ogg"}, .status = 1, .err = bad_utf8,
     .runs_on = RunsOn::native_linux_only},
    // The output argument is checked first; while it is malformed nothing is removed.
    {.name = "output_not_utf8", .args = {u8"missing.ild", u8"\xED\xA0\x80.ogg"}, .status = 1, .err = bad_utf8,
     .output_kept = true, .runs_on = RunsOn::native_linux_only},
    {.name = "input_is_a_folder", .args = {u8"folder", u8"out.ogg"}, .status = 1, .err = "Invalid ILD length\n"},
    {.name = "output_folder_missing", .args = {music, u8"missing/out.ogg"}, .status = 1,
     .err = "No such file or directory\n"},
    // Windows refuses to delete a read-only file, so it survives a failed run.
    {.name = "read_only_output_stays", .args = {u8"missing.ild", u8"out.ogg"}, .status = 1,
     .err = "Invalid ILD length\n", .output_kept = true, .runs_on = RunsOn::windows_only, .output_read_only = true},
    {.name = "stdin_from_a_file", .args = {u8"/dev/stdin", u8"out.ogg"}, .out = converted, .output_kept = true,
     .runs_on = RunsOn::linux_only},
    {.name = "memory_exhausted", .args = {u8"silence.ild", u8"out.ogg"}, .status = 1, .err = "std::bad_alloc\n",
     .runs_on = RunsOn::linux_only, .address_space = memory_limit},
    {.name = "converts_within_the_memory_limit", .args = {music, u8"out.ogg"}, .out = converted, .output_kept = true,
     .runs_on = RunsOn::linux_only, .address_space = memory_limit},
    rate_case(8000, 84000), rate_case(11025, 100000), rate_case(22050, 180000), rate_case(24000, 180000),
    rate_case(96000, 0), rate_case(192000, 0),
};

class Cli : public testing::TestWithParam<CliCase> {};

TEST_P(Cli, StatusStreamsAndOutputFile) {
    const CliCase& c = GetParam();
    if (!runs_here(c.runs_on)) GTEST_SKIP() << "not on this platform";
    if (c.address_space != 0 && !MEMORY_LIMITS_HOLD) GTEST_SKIP() << "AddressSanitizer, an emulator or Node maps more";
    TempDir dir;
    write_inputs(dir);
    if (c.tones_rate != 0) write_file(dir / c.args[0], tones_ild(c.tones_rate));
    std::vector<std::string> argv = {TOOL};
    for (const std::u8string& name : c.args) argv.push_back(utf8_text(dir / name));
    // Something already at the output path: kept on success and usage errors, removed on failure.
    const std::filesystem::path output = dir / (c.args.size() >= 2 ? c.args[1] : u8"out.ogg");
    if (exists(output.parent_path()) && !exists(output)) write_file(output, {'o', 'l', 'd'});
    const auto write_bits = std::filesystem::perms::owner_write;
    if (c.output_read_only) std::filesystem::permissions(output, write_bits, std::filesystem::perm_options::remove);

    // Standard input is the music, which only /dev/stdin reads.
    const ProcessResult run = run_process(argv, dir.path, {}, dir / music, c.address_space);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, native_lines(c.out));
    EXPECT_EQ(run.err, native_lines(c.err));
    EXPECT_EQ(std::filesystem::exists(output), c.output_kept);
    if (c.status == 0) expect_ogg_of(output, c.out, c.nominal);
    if (c.output_read_only) std::filesystem::permissions(output, write_bits, std::filesystem::perm_options::add);
}

INSTANTIATE_TEST_SUITE_P(Runs, Cli, testing::ValuesIn(cli_cases), [](const auto& info) { return info.param.name; });

enum class Reached { nothing, muxer, file };  // how far the writer got, which decides what it must release
using enum Reached;

// The FFmpeg function made to fail at its call-th use, returning `code`, named as the shim
// knows it (allocators and the frame size: "none", they return null or 0).
struct FaultCase {
    std::string name;
    std::string function;
    int call = 1;
    std::string code;
    std::string err = "";  // the tool's own line on stderr; for a code, FFmpeg's description of it
    Reached reached = file;
    std::string last_call = "";  // the last FFmpeg call before the releases, when not `function`

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

// libvorbis hands out 11 packets for the music's 173 encoder frames, 7 more at the end of the stream.
const std::vector<FaultCase> fault_cases = {
    {.name = "muxer_missing", .function = "avformat_alloc_output_context2", .code = "MUXER_NOT_FOUND",
     .reached = nothing},
    // A null encoder, frame or packet is reported once the muxer is made and the encoder looked up.
    {.name = "find_encoder", .function = "avcodec_find_encoder", .code = "none", .err = "Vorbis encoder is unavailable",
     .reached = muxer},
    {.name = "frame_alloc", .function = "av_frame_alloc", .code = "none", .err = "Vorbis encoder is unavailable",
     .reached = muxer, .last_call = "avcodec_find_encoder"},
    {.name = "packet_alloc", .function = "av_packet_alloc", .code = "none", .err = "Vorbis encoder is unavailable",
     .reached = muxer, .last_call = "avcodec_find_encoder"},
    {.name = "alloc_context", .function = "avcodec_alloc_context3", .code = "none",
     .err = "Unable to allocate Vorbis encoder", .reached = muxer},
    {.name = "open_encoder", .function = "avcodec_open2", .code = "EINVAL", .reached = muxer},
    {.name = "new_stream", .function = "avformat_new_stream", .code = "none", .err = "Unable to allocate Ogg stream",
     .reached = muxer},
    {.name = "parameters", .function = "avcodec_parameters_from_context", .code = "ENOMEM", .reached = muxer},
    {.name = "open_file", .function = "avio_open", .code = "EACCES", .reached = muxer},
    {.name = "write_header", .function = "avformat_write_header", .code = "EIO"},
    {.name = "layout_copy", .function = "av_channel_layout_copy", .code = "ENOMEM"},
    {.name = "zero_frame_size", .function = "zero_frame_size", .call = 0, .code = "none",
     .err = "Invalid encoder frame size", .last_call = "av_channel_layout_copy"},
    {.name = "frame_buffer", .function = "av_frame_get_buffer", .code = "ENOMEM"},
    {.name = "make_writable", .function = "av_frame_make_writable", .call = 20, .code = "ENOMEM"},
    // EAGAIN and EOF only end a drain; from anywhere else they are failures.
    {.name = "send_again", .function = "avcodec_send_frame", .code = "EAGAIN"},
    {.name = "send_eof", .function = "avcodec_send_frame", .call = 30, .code = "EOF"},
    {.name = "receive", .function = "avcodec_receive_packet", .call = 12, .code = "EINVAL"},
    {.name = "write", .function = "av_interleaved_write_frame", .code = "ENOSPC"},
    {.name = "send_end_of_stream", .function = "avcodec_send_frame", .call = 174, .code = "EINVAL"},
    {.name = "receive_last_drain", .function = "avcodec_receive_packet", .call = 185, .code = "EINVAL"},
    {.name = "write_last_drain", .function = "av_interleaved_write_frame", .call = 12, .code = "ENOSPC"},
    {.name = "write_trailer", .function = "av_write_trailer", .code = "EIO"},
};

class FaultInjection : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultInjection, FailsWithItsLineReleasesInOrderRemovesOutput) {
    const FaultCase& c = GetParam();
    TempDir dir;
    write_inputs(dir);
    write_file(dir / "out.ogg", {'o', 'l', 'd'});
    const std::string fault = c.function + ":" + std::to_string(c.call) + ":" + c.code;
    const ProcessResult run =
        run_process({FAULT_INJECTED_TOOL, utf8_text(dir / music), utf8_text(dir / "out.ogg")}, dir.path,
                    {"BRINDLEWOOD_FAULT=" + fault, "BRINDLEWOOD_FAULT_LOG=" + utf8_text(dir / "calls.log")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    // The shim logs the FFmpeg of the tool's own build describing the code it planted (libc's
    // words for errno codes differ between platforms): the tool must print just that.
    const std::string log = read_text(dir / "calls.log");
    std::smatch planted;
    std::regex_search(log, planted, std::regex("planted: (.*)\n"));
    EXPECT_EQ(planted.empty(), c.code == "none");
    EXPECT_EQ(run.err, native_lines((planted.empty() ? c.err : planted.str(1)) + "\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.ogg"));

    // Nothing after the failed call but the releases: frame, packet, codec context, then file and muxer.
    std::string releases = c.last_call.empty() ? c.function : c.last_call;
    releases += "\nav_frame_free\nav_packet_free\navcodec_free_context\n";
    releases += c.reached == file ? "avio_closep\n" : "";
    releases += c.reached != nothing ? "avformat_free_context\n" : "";
    EXPECT_THAT(log, testing::EndsWith(releases));
}

INSTANTIATE_TEST_SUITE_P(EveryWriterCall, FaultInjection, testing::ValuesIn(fault_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
