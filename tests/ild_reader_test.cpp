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
    std::vector<std::pair<std::size_t, std::uint32_t>> edits;
    std::uintmax_t size;
    std::string error;  // empty when the file is accepted
    std::size_t frames = 0;
    std::uint32_t rate = 22050;

    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

const std::string layout = "Unsupported ILD layout";
const std::vector<ReadCase> read_cases = {
    {"shorter_than_header", {}, 83, "Invalid ILD length"},
    {"longer_than_128_mib", {{12, 0}}, 134217729, "Invalid ILD length"},
    {"magic_with_one", {{0, 0x01444C49}}, 116, "Expected a stereo ILD"},
    {"mono", {{4, 1}}, 116, "Expected a stereo ILD"},
    {"magic_checked_first", {{0, 0}, {8, 83}, {40, 7999}, {72, 192001}}, 116, "Expected a stereo ILD"},
    {"offset_inside_header", {{8, 83}}, 116, layout},
    {"fixed_value_15", {{32, 15}}, 116, layout},
    {"offset_past_end", {{8, 117}, {12, 0}}, 116, layout},
    {"size_of_one_block", {{12, 16}}, 116, layout},
    {"region_past_end", {{12, 64}}, 116, layout},
    // The rates differ as well as lie out of range.
    {"layout_checked_before_rate", {{40, 7999}, {72, 192001}}, 116, layout},
    {"rate_7999", {{40, 7999}, {72, 7999}}, 116, "Invalid ILD sample rate"},
    {"rate_192001", {{40, 192001}, {72, 192001}}, 116, "Invalid ILD sample rate"},
    // Blocks with predictor 5, shift 13 or flag 8, on the right channel of the second pair.
    {"predictor_5_in_last_pair", {{12, 64}, {132, 0x50}}, 148, "Invalid PS ADPCM block"},
    {"shift_13_in_last_pair", {{12, 64}, {132, 0x0D}}, 148, "Invalid PS ADPCM block"},
    {"flag_8_in_last_pair", {{12, 64}, {132, 0x0800}}, 148, "Invalid PS ADPCM block"},
    {"header_only", {{12, 0}}, 84, "", 0},
    {"rate_8000", {{40, 8000}, {72, 8000}}, 116, "", 28, 8000},
    {"rate_192000", {{40, 192000}, {72, 192000}}, 116, "", 28, 192000},
    {"longest_file", {{12, 0}}, 134217728, "", 0},  // sparse on disk: cheap to make and read
    {"data_between_invalid_blocks", {{8, 148}, {84, 0xA5A5A5A5}, {180, 0x5A5A5A5A}}, 211, "", 28},
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
