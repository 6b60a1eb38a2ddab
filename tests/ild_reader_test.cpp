#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "ild/ild_reader.hpp"
#include "ild_writer.hpp"
#include "music_signal.hpp"
#include "support.hpp"

namespace {

// Each file starts as 116 bytes, a header at 22050 Hz and one block pair of zeros, gets its
// edits, 32-bit values at byte offsets (growing as needed), and is cut or extended to `size`.
struct ReadCase {
    std::string name;
    std::vector<std::pair<std::size_t, std::uint32_t>> edits = {};
    std::uintmax_t size = 116;
    std::string error = "";  // empty when the file is accepted
    std::size_t frames = 0;
    std::uint32_t rate = 22050;

    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

const std::string layout = "Unsupported ILD layout";
const std::string bad_block = "Invalid PS ADPCM block";
const std::vector<ReadCase> read_cases = {
    {.name = "shorter_than_header", .size = 83, .error = "Invalid ILD length"},
    {.name = "longer_than_128_mib", .edits = {{12, 0}}, .size = 134217729, .error = "Invalid ILD length"},
    {.name = "magic_with_one", .edits = {{0, 0x01444C49}}, .error = "Expected a stereo ILD"},
    {.name = "mono", .edits = {{4, 1}}, .error = "Expected a stereo ILD"},
    {.name = "magic_checked_first", .edits = {{0, 0}, {8, 83}, {40, 7999}, {72, 192001}},
     .error = "Expected a stereo ILD"},
    {.name = "offset_inside_header", .edits = {{8, 83}}, .error = layout},
    {.name = "fixed_value_15", .edits = {{32, 15}}, .error = layout},
    {.name = "offset_past_end", .edits = {{8, 117}, {12, 0}}, .error = layout},
    {.name = "size_of_one_block", .edits = {{12, 16}}, .error = layout},
    {.name = "region_past_end", .edits = {{12, 64}}, .error = layout},
    // The rates differ as well as lie out of range.
    {.name = "layout_checked_before_rate", .edits = {{40, 7999}, {72, 192001}}, .error = layout},
    {.name = "rate_7999", .edits = {{40, 7999}, {72, 7999}}, .error = "Invalid ILD sample rate"},
    {.name = "rate_192001", .edits = {{40, 192001}, {72, 192001}}, .error = "Invalid ILD sample rate"},
    // Blocks with predictor 5, shift 13 or flag 8, on the right channel of the second pair.
    {.name = "predictor_5_in_last_pair", .edits = {{12, 64}, {132, 0x50}}, .size = 148, .error = bad_block},
    {.name = "shift_13_in_last_pair", .edits = {{12, 64}, {132, 0x0D}}, .size = 148, .error = bad_block},
    {.name = "flag_8_in_last_pair", .edits = {{12, 64}, {132, 0x0800}}, .size = 148, .error = bad_block},
    {.name = "header_only", .edits = {{12, 0}}, .size = 84},
    {.name = "rate_8000", .edits = {{40, 8000}, {72, 8000}}, .frames = 28, .rate = 8000},
    {.name = "rate_192000", .edits = {{40, 192000}, {72, 192000}}, .frames = 28, .rate = 192000},
    {.name = "longest_file", .edits = {{12, 0}}, .size = 134217728},  // sparse on disk: cheap to make and read
    {.name = "data_between_invalid_blocks", .edits = {{8, 148}, {84, 0xA5A5A5A5}, {180, 0x5A5A5A5A}}, .size = 211,
     .frames = 28},
};

class ReadIld : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadIld, FollowsTheRulesInOrder) {
    const ReadCase& c = GetParam();
    std::vector<std::uint8_t> bytes = ild_header(22050, 32);
    bytes.resize(116, 0);
    for (const auto& [offset, value] : c.edits) {
        bytes.resize(std::max(bytes.size(), offset + 4), 0);
        put_u32le(bytes, offset, value);
    }
    TempDir dir;
    write_file(dir / "in.ild", bytes);
    std::filesystem::resize_file(dir / "in.ild", c.size);
    try {
        const DecodedAudio audio = read_ild(dir / "in.ild");
        EXPECT_EQ(c.error, "");
        EXPECT_EQ(audio.sample_rate, c.rate);
        EXPECT_EQ(audio.channels, (std::array{std::vector<float>(c.frames), std::vector<float>(c.frames)}));
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ReadIld, testing::ValuesIn(read_cases),
                         [](const auto& info) { return info.param.name; });

// Every sample of a coded signal whose channels differ, each with its own history, is what the
// project's encoder says a correct decoder gives; at these rates it uses every predictor, shifts 3-12.
TEST(ReadIld, DecodesWhatTheEncoderCoded) {
    for (const auto& [rate, frames] : {std::pair{8000u, 8000u}, std::pair{192000u, 48000u}}) {
        const IldEncoding encoding = encode_ild(rate, music_signal(rate, frames));
        TempDir dir;
        write_file(dir / "music.ild", encoding.file);
        const DecodedAudio audio = read_ild(dir / "music.ild");
        for (std::size_t channel = 0; channel < 2; ++channel) {
            std::vector<float> expected;
            const std::vector<std::int16_t>& coded = encoding.decoded[channel];
            std::transform(coded.begin(), coded.end(), std::back_inserter(expected),
                           [](std::int16_t sample) { return sample / 32768.0f; });
            EXPECT_EQ(audio.channels[channel], expected) << rate << " Hz, channel " << channel;
        }
    }
}

}  // namespace
