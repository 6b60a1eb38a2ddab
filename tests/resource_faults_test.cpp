#include <gtest/gtest.h>

#include <string>

#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "process.hpp"
#include "temp_dir.hpp"

namespace {

// Runs the real tool through bash, whose ulimit and trap lines apply to the tool alone.
ProcessResult run_limited(const std::string& limits, const TempDir& dir, const std::string& input) {
    return run_process({"bash", "-c", limits + "; exec \"$0\" \"$@\"", TOOL_BINARY, (dir / input).string(),
                        (dir / "out.ogg").string()},
                       dir.path());
}

void expect_failure(const ProcessResult& run, const std::string& line, const TempDir& dir) {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, line + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.ogg"));
}

// Three seconds make about 70 KiB of Ogg, past FFmpeg's 32 KiB output buffer,
// so the limit of 16 KiB is hit while packets are still being written.
TEST(ResourceFaults, DiskFullWhileWriting) {
    TempDir dir;
    write_file(dir / "in.ild", encode_ild(44100, music_signal(44100, 3 * 44100)).file);
    expect_failure(run_limited("trap '' XFSZ; ulimit -f 16", dir, "in.ild"), "File too large", dir);
}

TEST(ResourceFaults, MemoryExhaustedByALargeInput) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space, so no RLIMIT_AS can hold it";
#endif
    TempDir dir;
    // 100 MiB of silent blocks, sparse on disk; decoding them needs about 850 MiB.
    const std::uint32_t data_size = 100u << 20;
    write_file(dir / "large.ild", ild_header(44100, data_size));
    std::filesystem::resize_file(dir / "large.ild", ild_header_size + data_size);
    write_file(dir / "small.ild", encode_ild(44100, music_signal(44100, 2800)).file);
    const std::string limit = "ulimit -v 524288";  // 512 MiB

    // The same limit leaves room for a small conversion, so the failure is the input's;
    // its output stays for the failed run to remove.
    const ProcessResult small = run_limited(limit, dir, "small.ild");
    ASSERT_EQ(small.status, 0) << small.err;

    expect_failure(run_limited(limit, dir, "large.ild"), "std::bad_alloc", dir);
}

}  // namespace
