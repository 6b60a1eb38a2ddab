#include <gtest/gtest.h>

#include <string>

#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "process.hpp"
#include "temp_dir.hpp"

namespace {

struct ValgrindCase {
    std::string name;
    std::uint32_t rate;
    std::string output;  // inside the test's folder
    int status;
    std::string err;

    friend void PrintTo(const ValgrindCase& c, std::ostream* os) { *os << c.name; }
};

// A successful run, and failures with the encoder or the muxer half built.
const std::vector<ValgrindCase> valgrind_cases = {
    {"converts", 44100, "out.ogg", 0, ""},
    {"encoder_refuses_rate", 22050, "out.ogg", 1, "Invalid argument\n"},
    {"output_directory_missing", 44100, "missing/out.ogg", 1, "No such file or directory\n"},
};

class Valgrind : public testing::TestWithParam<ValgrindCase> {};

// Memcheck's own status (42) stays apart from the tool's 0 and 1, and -q keeps
// stderr to the tool's line unless memcheck finds something.
TEST_P(Valgrind, FindsNoErrorAndNoLeak) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "valgrind cannot run a binary built with AddressSanitizer";
#endif
    const ValgrindCase& c = GetParam();
    TempDir dir;
    write_file(dir / "in.ild", encode_ild(c.rate, music_signal(c.rate, 2800)).file);
    const ProcessResult run =
        run_process({"valgrind", "-q", "--leak-check=full", "--error-exitcode=42", TOOL_BINARY,
                     (dir / "in.ild").string(), (dir / c.output).string()},
                    dir.path());
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(Runs, Valgrind, testing::ValuesIn(valgrind_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
