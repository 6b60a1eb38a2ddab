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
const std::string bad_utf8 = std::make_error_code(std::errc::illegal_byte_sequence).message() + "\n";

struct CliCase {
    std::string name;
    std::vector<std::string> args;  // file names inside the test's folder ("" stays empty)
    int status;
    std::string out;
    std::string err;
    bool output_kept;  // whether the file made at args[1] before the run is there after it

    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }
};

const std::vector<CliCase> cli_cases = {
    {"no_arguments", {}, 2, "", usage, true},
    {"one_argument", {"ten_pairs.ild"}, 2, "", usage, true},
    {"three_arguments", {"ten_pairs.ild", "out.ogg", "extra"}, 2, "", usage, true},
    {"converts", {"ten_pairs.ild", "out.ogg"}, 0, "280 frames at 44100 Hz\n", "", true},
    {"converts_no_samples", {"header_only.ild", "out.ogg"}, 0, "0 frames at 32000 Hz\n", "", true},
    {"utf8_names", {"mús ♪.ild", "ñ.ogg"}, 0, "280 frames at 44100 Hz\n", "", true},
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
    }

    TempDir dir_;
};

TEST_P(Cli, StatusStreamsAndOutputFile) {
    const CliCase& c = GetParam();
    std::vector<std::string> argv = {TOOL_BINARY};
    for (const std::string& name : c.args) {
        argv.push_back(name.empty() ? name : (dir_ / name).string());
    }
    // A file already at the output path: kept on success and on usage, removed on failure.
    if (c.args.size() >= 2) {
        write_file(argv[2], {'o', 'l', 'd'});
    }

    const ProcessResult result = run_process(argv, dir_.path());
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    if (c.args.size() >= 2) {
        EXPECT_EQ(std::filesystem::exists(argv[2]), c.output_kept);
        if (c.status == 0) {
            EXPECT_EQ(read_text(argv[2]).substr(0, 4), "OggS");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, Cli, testing::ValuesIn(cli_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
