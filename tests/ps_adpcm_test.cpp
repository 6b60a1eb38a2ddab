#include <gtest/gtest.h>

#include <algorithm>

#include "ild/ps_adpcm.hpp"

namespace {

using Block = std::array<std::uint8_t, ps_adpcm_block_size>;  // bytes not listed are 0

// Blocks decoded one after another on one channel, from `start`: what a coded signal never
// reaches. The reader's tests show nibble order, signs, shifts, predictors, rounding, limits.
struct DecodeCase {
    std::string name;
    AdpcmChannelState start;
    std::vector<Block> blocks;
    std::vector<std::int32_t> expected;  // 16-bit samples of all blocks; the state ends on the last two

    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

const AdpcmChannelState loud{18391, 18538};
const std::vector<DecodeCase> decode_cases = {
    // Flags below 7 change nothing.
    {"clamps_both_ways", {}, {{0x40, 0x06, 0x77, 0x00, 0x88, 0x88, 0x88}},
     {28672,  32767,  32767,  31743,  -2977,  -32768, -32768, -32768, -32768, -32768,
      -31744, -29792, -27031, -23598, -19642, -15319, -10787, -6201,  -1708,  2558,
      6477,   9949,   12893,  15250,  16983,  18077,  18538,  18391}},
    {"flag_7_silences_and_resets_history", loud,
     {{0x4C, 0x07, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}, {0x4C}},
     std::vector<std::int32_t>(56, 0)},
};

class DecodeBlocks : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBlocks, GivesExactSamplesAndState) {
    const DecodeCase& c = GetParam();
    AdpcmChannelState state = c.start;
    std::vector<float> samples = {0.5f};  // decoding appends after what is there
    for (const Block& block : c.blocks) decode_ps_adpcm_block(block, state, samples);
    std::vector<float> expected = {0.5f};
    std::ranges::transform(c.expected, std::back_inserter(expected), [](std::int32_t s) { return s / 32768.0f; });
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(state.hist1, c.expected.end()[-1]);
    EXPECT_EQ(state.hist2, c.expected.end()[-2]);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, DecodeBlocks, testing::ValuesIn(decode_cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
