#include <gtest/gtest.h>

#include <system_error>

#include "support.hpp"
#include "ild_writer.hpp"
#include "music_signal.hpp"

namespace {

const std::u8string music = u8"mús ♪.ild";  // 280 frames at 44100 Hz
const std::string usage = "Usage: brindlewood_orvo_audio input.ild output.ogg\n";
const std::string converted = "280 frames at 44100 Hz\n";
const std::string bad_utf8 = std::make_error_code(std::errc::illegal_byte_sequence).message() + "\n";

struct CliCase {
    std::string name;
    std::vector<std::u8string> args;  // names in the test's folder; absolute paths stay
    int status;
    std::string out;
    std::string err;
    bool output_kept;  // whether what args[1] names before the run is there after it
    RunsOn runs_on = RunsOn::everywhere;
    std::u8string stdin_name = u8"";  // the file given as standard input

    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }
};

const std::vector<CliCase> cli_cases = {
    {"no_arguments", {}, 2, "", usage, true},
    {"three_arguments", {music, u8"out.ogg", u8"extra"}, 2, "", usage, true},
    {"converts_utf8_names_any_extension", {music, u8"ñ.wav"}, 0, converted, "", true},
    {"no_audio", {u8"no_audio.ild", u8"out.ogg"}, 0, "0 frames at 32000 Hz\n", "", true},
    {"same_path_overwritten_with_ogg", {music, music}, 0, converted, "", true},
    {"missing_input", {u8"missing.ild", u8"out.ogg"}, 1, "", "Invalid ILD length\n", false},
    {"rate_the_encoder_refuses", {u8"22050.ild", u8"out.ogg"}, 1, "", "Invalid argument\n", false},
    {"same_path_deleted_on_failure", {u8"22050.ild", u8"22050.ild"}, 1, "", "Invalid argument\n", false},
    {"input_not_utf8", {u8"\xC0\xAF.ild", u8"out.ogg"}, 1, "", bad_utf8, false, RunsOn::linux_only},
    // The output argument is checked first; while it is malformed nothing is removed.
    {"output_not_utf8", {u8"missing.ild", u8"\xED\xA0\x80.ogg"}, 1, "", bad_utf8, true, RunsOn::linux_only},
    {"stdin_from_a_file", {u8"/dev/stdin", u8"out.ogg"}, 0, converted, "", true, RunsOn::linux_only, music},
};

class Cli : public testing::TestWithParam<CliCase> {};

TEST_P(Cli, StatusStreamsAndOutputFile) {
    const CliCase& c = GetParam();
    if (!runs_here(c.runs_on)) {
        GTEST_SKIP() << "not on this platform";
    }
    TempDir dir;
    write_file(dir / music, encode_ild(44100, music_signal(44100, 280)).file);
    write_file(dir / "no_audio.ild", ild_header(32000, 0));
    write_file(dir / "22050.ild", encode_ild(22050, music_signal(22050, 280)).file);
    std::vector<std::string> argv = {TOOL};
    for (const std::u8string& name : c.args) {
        argv.push_back(utf8_text(dir / name));
    }
    // Something already at the output path: kept on success and usage errors, removed on failure.
    const std::filesystem::path output = dir / (c.args.size() >= 2 ? c.args[1] : u8"out.ogg");
    if (!std::filesystem::exists(output)) {
        write_file(output, {'o', 'l', 'd'});
    }

    const ProcessResult run = run_process(argv, dir.path, {}, c.stdin_name.empty() ? "" : dir / c.stdin_name);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(std::filesystem::exists(output), c.output_kept);
    if (c.status == 0) {
        EXPECT_EQ(read_text(output).substr(0, 4), "OggS");
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, Cli, testing::ValuesIn(cli_cases), [](const auto& info) { return info.param.name; });

}  // namespace
