#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "ild/ps_adpcm.hpp"

namespace {

using Block = std::array<std::uint8_t, ps_adpcm_block_size>;  // bytes not listed are 0

// Blocks decoded one after another on one channel, from `start`. Nibble order,
// signs, shifts, predictors and rounding are shown by the reader's test on a
// coded signal; these show what that signal never reaches.
struct DecodeCase {
    std::string name;
    AdpcmChannelState start;
    std::vector<Block> blocks;
    std::vector<std::int32_t> expected;  // 16-bit samples of all blocks
    AdpcmChannelState end;
    bool rejected = false;  // a rejected block leaves samples and state as they were

    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

const AdpcmChannelState loud{18391, 18538};
const std::vector<DecodeCase> decode_cases = {
    // Flags below 7 change nothing.
    {"clamps_both_ways", {}, {{0x40, 0x06, 0x77, 0x00, 0x88, 0x88, 0x88}},
     {28672,  32767,  32767,  31743,  -2977,  -32768, -32768, -32768, -32768, -32768,
      -31744, -29792, -27031, -23598, -19642, -15319, -10787, -6201,  -1708,  2558,
      6477,   9949,   12893,  15250,  16983,  18077,  18538,  18391}, loud},
    {"flag_7_silences_and_resets_history", loud,
     {{0x4C, 0x07, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}, {0x4C}},
     std::vector<std::int32_t>(56, 0), {0, 0}},
    {"predictor_5_rejected", loud, {{0x50}}, {}, loud, true},
    {"shift_13_rejected", loud, {{0x0D}}, {}, loud, true},
    {"flag_8_rejected", loud, {{0x00, 0x08}}, {}, loud, true},
};

class DecodeBlocks : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBlocks, GivesExactSamplesAndState) {
    const DecodeCase& c = GetParam();
    AdpcmChannelState state = c.start;
    std::vector<float> samples = {0.5f};  // decoding appends after what is there
    std::string error;
    try {
        for (const Block& block : c.blocks) {
            decode_ps_adpcm_block(block, state, samples);
        }
    } catch (const std::runtime_error& failure) {
        error = failure.what();
    }
    EXPECT_EQ(error, c.rejected ? "Invalid PS ADPCM block" : "");
    std::vector<float> expected = {0.5f};
    std::ranges::transform(c.expected, std::back_inserter(expected), [](std::int32_t s) { return s / 32768.0f; });
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(state.hist1, c.end.hist1);
    EXPECT_EQ(state.hist2, c.end.hist2);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, DecodeBlocks, testing::ValuesIn(decode_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
