#include "ild/ps_adpcm.hpp"

#include <algorithm>
#include <stdexcept>

namespace {

// Weights of hist1 and hist2, in units of 1/64.
constexpr std::int32_t ps_adpcm_coefficients[5][2] = {
    {0, 0}, {60, 0}, {115, -52}, {98, -55}, {122, -60},
};

constexpr std::uint8_t silent_block_flag = 7;
constexpr float sample_scale = 3.0517578125e-05f;  // exactly 1/32768

}  // namespace

void decode_ps_adpcm_block(std::span<const std::uint8_t, ps_adpcm_block_size> block,
                           AdpcmChannelState& state, std::vector<float>& samples) {
    const unsigned predictor = block[0] >> 4;
    const unsigned shift = block[0] & 0x0F;
    const unsigned flag = block[1];
    if (predictor > 4 || shift > 12 || flag > silent_block_flag) {
        throw std::runtime_error("Invalid PS ADPCM block");
    }

    const std::int32_t first = ps_adpcm_coefficients[predictor][0];
    const std::int32_t second = ps_adpcm_coefficients[predictor][1];
    const bool silent = flag == silent_block_flag;
    std::int32_t hist1 = state.hist1;
    std::int32_t hist2 = state.hist2;

    // Appended sample by sample: appending the block at once is a call of the C library's
    // memmove per block, which on Windows goes through msvcrt.dll.
    for (std::size_t i = 0; i < ps_adpcm_samples_per_block; ++i) {
        const std::int32_t nibble = (block[2 + i / 2] >> (4 * (i % 2))) & 0x0F;
        const std::int32_t code = nibble < 8 ? nibble : nibble - 16;
        const std::int32_t scaled = (code * 4096) >> shift;
        const std::int32_t prediction = (hist1 * first + hist2 * second + 32) >> 6;
        const std::int32_t sample =
            silent ? 0 : std::clamp(scaled + prediction, std::int32_t{-32768}, std::int32_t{32767});
        hist2 = hist1;
        hist1 = sample;
        samples.push_back(static_cast<float>(sample) * sample_scale);
    }
    state.hist1 = hist1;
    state.hist2 = hist2;
}
