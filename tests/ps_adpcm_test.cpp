#include <gtest/gtest.h>

#include <algorithm>

#include "ild/ps_adpcm.hpp"

using Block = std::array<std::uint8_t, ps_adpcm_block_size>;  // bytes not listed are 0

// What a coded signal never reaches: both limits of the clamp (with a flag below 7, which
// changes nothing), and flag 7, which silences a loud block and leaves zeros as the history.
// The reader's tests show nibble order, signs, shifts, predictors and rounding.
TEST(DecodePsAdpcmBlock, ClampsAndSilences) {
    const std::vector<std::int32_t> clamped = {
        28672,  32767,  32767,  31743,  -2977,  -32768, -32768, -32768, -32768, -32768,
        -31744, -29792, -27031, -23598, -19642, -15319, -10787, -6201,  -1708,  2558,
        6477,   9949,   12893,  15250,  16983,  18077,  18538,  18391};
    std::vector<float> expected = {0.5f};  // decoding appends after what is there
    std::transform(clamped.begin(), clamped.end(), std::back_inserter(expected), [](std::int32_t s) { return s / 32768.0f; });
    expected.resize(expected.size() + 56, 0.0f);

    AdpcmChannelState state;
    std::vector<float> samples = {0.5f};
    for (const Block& block : {Block{0x40, 0x06, 0x77, 0x00, 0x88, 0x88, 0x88},
                               Block{0x4C, 0x07, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77,
                                     0x77, 0x77, 0x77, 0x77},
                               Block{0x4C}}) {
        decode_ps_adpcm_block(block, state, samples);
    }
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(state.hist1, 0);
    EXPECT_EQ(state.hist2, 0);
}
