#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "process.hpp"
#include "temp_dir.hpp"

namespace {

const std::string usage = "Usage: brindlewood_orvo_audio input.ild output.ogg\n";
const std::string converted = "280 frames at 44100 Hz\n";
const std::string bad_utf8 = std::make_error_code(std::errc::illegal_byte_sequence).message() + "\n";

struct CliCase {
    std::string name;
    std::vector<std::string> args;  // file names inside the test's folder ("" stays empty)
    int status;
    std::string out;
    std::string err;
    bool output_kept;  // whether the file made at args[1] before the run is there after it
    std::vector<std::string> wrapper = {};  // runs the tool, given as its first argument
    bool plain_build_only = false;          // AddressSanitizer can run neither under valgrind nor in an RLIMIT_AS

    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }
};

// Memcheck's own status (42) stays apart from the tool's, and -q keeps stderr to the tool's line.
const std::vector<std::string> valgrind = {"valgrind", "-q", "--leak-check=full", "--error-exitcode=42"};
// bash applies the limit to the tool alone; an ignored SIGXFSZ turns into EFBIG.
const std::vector<std::string> disk_full = {"bash", "-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\""};
const std::vector<std::string> memory_512m = {"bash", "-c", "ulimit -v 524288; exec \"$0\" \"$@\""};

const std::vector<CliCase> cli_cases = {
    {"no_arguments", {}, 2, "", usage, true},
    {"one_argument", {"ten_pairs.ild"}, 2, "", usage, true},
    {"three_arguments", {"ten_pairs.ild", "out.ogg", "extra"}, 2, "", usage, true},
    {"converts", {"ten_pairs.ild", "out.ogg"}, 0, converted, "", true},
    {"converts_no_samples", {"header_only.ild", "out.ogg"}, 0, "0 frames at 32000 Hz\n", "", true},
    {"utf8_names", {"mús ♪.ild", "ñ.ogg"}, 0, converted, "", true},
    {"missing_input", {"missing.ild", "out.ogg"}, 1, "", "Invalid ILD length\n", false},
    {"empty_input", {"", "out.ogg"}, 1, "", "Invalid ILD length\n", false},
    {"mono_input", {"mono.ild", "out.ogg"}, 1, "", "Expected a stereo ILD\n", false},
    {"rate_the_encoder_refuses", {"rate_22050.ild", "out.ogg"}, 1, "", "Invalid argument\n", false},
    {"input_invalid_byte", {"\xFF.ild", "out.ogg"}, 1, "", bad_utf8, false},
    {"input_overlong_slash", {"\xC0\xAF.ild", "out.ogg"}, 1, "", bad_utf8, false},
    {"input_surrogate", {"\xED\xA0\x80.ild", "out.ogg"}, 1, "", bad_utf8, false},
    {"input_above_unicode", {"\xF4\x90\x80\x80.ild", "out.ogg"}, 1, "", bad_utf8, false},
    {"input_truncated", {"\xE2\x82.ild", "out.ogg"}, 1, "", bad_utf8, false},
    {"output_invalid_byte", {"ten_pairs.ild", "out\xFE.ogg"}, 1, "", bad_utf8, true},
    {"output_stray_continuation", {"missing.ild", "\x80.ogg"}, 1, "", bad_utf8, true},
    {"valgrind_converts", {"ten_pairs.ild", "out.ogg"}, 0, converted, "", true, valgrind, true},
    {"valgrind_encoder_refuses_rate", {"rate_22050.ild", "out.ogg"}, 1, "", "Invalid argument\n", false, valgrind,
     true},
    {"disk_full", {"ten_pairs.ild", "out.ogg"}, 1, "", "File too large\n", false, disk_full},
    // The limit leaves room for a small conversion, so the next failure is the large input's.
    {"memory_limit_fits_small", {"ten_pairs.ild", "out.ogg"}, 0, converted, "", true, memory_512m, true},
    {"memory_exhausted", {"silent_100mib.ild", "out.ogg"}, 1, "", "std::bad_alloc\n", false, memory_512m, true},
};

class Cli : public testing::TestWithParam<CliCase> {
protected:
    void SetUp() override {
        const IldEncoding ten_pairs = encode_ild(44100, music_signal(44100, 280));
        write_file(dir_ / "ten_pairs.ild", ten_pairs.file);
        write_file(dir_ / "mús ♪.ild", ten_pairs.file);
        write_file(dir_ / "header_only.ild", ild_header(32000, 0));
        write_file(dir_ / "rate_22050.ild", encode_ild(22050, music_signal(22050, 280)).file);
        std::vector<std::uint8_t> mono = ild_header(44100, 0);
        put_u32le(mono, 4, 1);
        write_file(dir_ / "mono.ild", mono);
        // Silent blocks, sparse on disk; decoding them needs about 850 MiB.
        write_file(dir_ / "silent_100mib.ild", ild_header(44100, 100u << 20));
        std::filesystem::resize_file(dir_ / "silent_100mib.ild", ild_header_size + (100u << 20));
    }

    TempDir dir_;
};

TEST_P(Cli, StatusStreamsAndOutputFile) {
    const CliCase& c = GetParam();
#ifdef __SANITIZE_ADDRESS__
    if (c.plain_build_only) {
        GTEST_SKIP() << "needs the build without AddressSanitizer";
    }
#endif
    std::vector<std::string> argv = {TOOL_BINARY};
    for (const std::string& name : c.args) {
        argv.push_back(name.empty() ? name : (dir_ / name).string());
    }
    // A file already at the output path: kept on success and on usage, removed on failure.
    if (c.args.size() >= 2) {
        write_file(argv[2], {'o', 'l', 'd'});
    }
    argv.insert(argv.begin(), c.wrapper.begin(), c.wrapper.end());

    const ProcessResult result = run_process(argv, dir_.path());
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    if (c.args.size() >= 2) {
        const std::filesystem::path output = dir_ / c.args[1];
        EXPECT_EQ(std::filesystem::exists(output), c.output_kept);
        if (c.status == 0) {
            EXPECT_EQ(read_text(output).substr(0, 4), "OggS");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, Cli, testing::ValuesIn(cli_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
