#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ild/ild_reader.hpp"
#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "ogg_tools.hpp"
#include "temp_dir.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 116 bytes: a valid header at 22050 Hz and one block pair of zeros.
Bytes one_pair_file() {
    Bytes file = ild_header(22050, 32);
    file.resize(116, 0);
    return file;
}

Bytes with_u32(Bytes file, std::size_t offset, std::uint32_t value) {
    put_u32le(file, offset, value);
    return file;
}

Bytes with_rates(std::uint32_t first, std::uint32_t second) {
    return with_u32(with_u32(one_pair_file(), 40, first), 72, second);
}

// The reader's message for `path`, or "" when it accepts the file.
std::string read_error(const std::filesystem::path& path) {
    try {
        read_ild(path);
        return "";
    } catch (const std::runtime_error& error) {
        return error.what();
    }
}

struct ReadCase {
    std::string name;
    std::function<Bytes()> make;
    std::string error;  // empty when the file is accepted
    std::size_t frames = 0;
    std::uint32_t rate = 0;

    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

const std::vector<ReadCase> read_cases = {
    {"empty_file", [] { return Bytes{}; }, "Invalid ILD length"},
    {"shorter_than_header", [] { return Bytes(83, 0); }, "Invalid ILD length"},
    {"magic_with_one", [] { return with_u32(one_pair_file(), 0, 0x01444C49); }, "Expected a stereo ILD"},
    {"mono", [] { return with_u32(one_pair_file(), 4, 1); }, "Expected a stereo ILD"},
    {"magic_checked_before_rate",
     [] { return with_u32(with_rates(7999, 7999), 0, 0); }, "Expected a stereo ILD"},
    {"offset_inside_header", [] { return with_u32(one_pair_file(), 8, 83); }, "Unsupported ILD layout"},
    {"fixed_value_15", [] { return with_u32(one_pair_file(), 32, 15); }, "Unsupported ILD layout"},
    {"fixed_value_17", [] { return with_u32(one_pair_file(), 32, 17); }, "Unsupported ILD layout"},
    {"offset_past_end",
     [] { return with_u32(with_u32(one_pair_file(), 8, 117), 12, 0); }, "Unsupported ILD layout"},
    {"size_16", [] { return with_u32(one_pair_file(), 12, 16); }, "Unsupported ILD layout"},
    {"size_31", [] { return with_u32(one_pair_file(), 12, 31); }, "Unsupported ILD layout"},
    {"size_33", [] { return with_u32(one_pair_file(), 12, 33); }, "Unsupported ILD layout"},
    {"region_past_end", [] { return with_u32(one_pair_file(), 12, 64); }, "Unsupported ILD layout"},
    {"rates_differ", [] { return with_rates(44100, 48000); }, "Unsupported ILD layout"},
    {"rates_differ_before_range", [] { return with_rates(7999, 192001); }, "Unsupported ILD layout"},
    {"rate_too_low", [] { return with_rates(7999, 7999); }, "Invalid ILD sample rate"},
    {"rate_too_high", [] { return with_rates(192001, 192001); }, "Invalid ILD sample rate"},
    {"rate_zero", [] { return with_rates(0, 0); }, "Invalid ILD sample rate"},
    {"bad_block_in_last_pair",
     [] {
         Bytes file = with_u32(one_pair_file(), 12, 64);
         file.resize(148, 0);
         file[84 + 32 + 16] = 0x0D;  // channel 1, second pair: shift 13
         return file;
     },
     "Invalid PS ADPCM block"},
    {"header_only", [] { return ild_header(44100, 0); }, "", 0, 44100},
    {"one_pair", one_pair_file, "", 28, 22050},
    {"offset_at_end_of_file",
     [] { return with_u32(with_u32(one_pair_file(), 8, 116), 12, 0); }, "", 0, 22050},
    {"lowest_rate", [] { return with_rates(8000, 8000); }, "", 28, 8000},
    {"highest_rate", [] { return with_rates(192000, 192000); }, "", 28, 192000},
};

class ReadIld : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadIld, FollowsTheRulesInOrder) {
    const ReadCase& c = GetParam();
    TempDir dir;
    write_file(dir / "in.ild", c.make());
    if (!c.error.empty()) {
        EXPECT_EQ(read_error(dir / "in.ild"), c.error);
        return;
    }
    const DecodedAudio audio = read_ild(dir / "in.ild");
    EXPECT_EQ(audio.sample_rate, c.rate);
    for (const std::vector<float>& channel : audio.channels) {
        EXPECT_EQ(channel, std::vector<float>(c.frames, 0.0f));
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ReadIld, testing::ValuesIn(read_cases),
                         [](const auto& info) { return info.param.name; });

TEST(ReadIld, UnopenablePathsReportLength) {
    TempDir dir;
    EXPECT_EQ(read_error(dir / "missing.ild"), "Invalid ILD length");
    EXPECT_EQ(read_error(""), "Invalid ILD length");
}

TEST(ReadIld, LengthLimitIsExactly128MiB) {
    TempDir dir;
    const std::filesystem::path path = dir / "large.ild";
    write_file(path, ild_header(44100, 0));
    std::filesystem::resize_file(path, 134217728);  // sparse: cheap to make
    EXPECT_EQ(read_ild(path).channels[0].size(), 0u);

    std::filesystem::resize_file(path, 134217729);
    EXPECT_EQ(read_error(path), "Invalid ILD length");
}

TEST(ReadIld, UnreadBytesDoNotMatter) {
    const IldEncoding plain = encode_ild(32000, music_signal(32000, 280));
    const Bytes region(plain.file.begin() + ild_header_size, plain.file.end());

    // Same header and blocks, with noise in every byte that has no meaning.
    Bytes noisy = plain.file;
    for (std::size_t offset : {16u, 20u, 24u, 28u, 36u, 44u, 56u, 68u, 76u, 80u}) {
        put_u32le(noisy, offset, 0xDEADBEEF);
    }
    noisy.resize(ild_header_size);
    noisy.insert(noisy.end(), 40, 0xA5);  // a gap
    put_u32le(noisy, 8, ild_header_size + 40);
    noisy.insert(noisy.end(), region.begin(), region.end());
    noisy.insert(noisy.end(), 31, 0x5A);  // trailing bytes

    TempDir dir;
    write_file(dir / "plain.ild", plain.file);
    write_file(dir / "noisy.ild", noisy);
    const DecodedAudio expected = read_ild(dir / "plain.ild");
    const DecodedAudio actual = read_ild(dir / "noisy.ild");
    EXPECT_EQ(actual.sample_rate, expected.sample_rate);
    EXPECT_EQ(actual.channels, expected.channels);
}

// A real signal across many block pairs: each channel keeps its own history
// from pair to pair, and the reservation is exact.
TEST(ReadIld, DecodesWhatTheEncoderCoded) {
    const IldEncoding encoding = encode_ild(44100, music_signal(44100, 44100));
    TempDir dir;
    write_file(dir / "music.ild", encoding.file);
    const DecodedAudio audio = read_ild(dir / "music.ild");
    const DecodedAudio expected = as_decoded_audio(44100, encoding.decoded);
    EXPECT_EQ(audio.sample_rate, expected.sample_rate);
    EXPECT_EQ(audio.channels, expected.channels);
    for (const std::vector<float>& channel : audio.channels) {
        EXPECT_EQ(channel.capacity(), channel.size());
    }
}

}  // namespace
