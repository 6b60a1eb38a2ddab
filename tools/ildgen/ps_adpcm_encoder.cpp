#include "ps_adpcm_encoder.hpp"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int32_t filters[5][2] = {{0, 0}, {60, 0}, {115, -52}, {98, -55}, {122, -60}};

// Rounds toward minus infinity, written with division rather than the decoder's
// shift so that this model does not share the decoder's mistakes.
std::int32_t floor_div(std::int32_t value, std::int32_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

struct Candidate {
    std::array<std::int8_t, 28> codes{};
    std::array<std::int16_t, 28> decoded{};
    std::int64_t error = 0;
};

// Codes the block with one predictor and shift, tracking the decoder's history.
Candidate try_block(std::span<const std::int16_t, 28> pcm, EncoderHistory history,
                    int predictor, int shift) {
    Candidate candidate;
    const int step_bits = 12 - shift;  // each code unit is worth 2^step_bits
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        const std::int32_t predicted = floor_div(
            history.hist1 * filters[predictor][0] + history.hist2 * filters[predictor][1] + 32, 64);
        const std::int32_t step = 1 << step_bits;
        const std::int32_t code = std::clamp(floor_div(pcm[i] - predicted + step / 2, step), -8, 7);
        const std::int32_t sample = std::clamp(predicted + code * step, -32768, 32767);
        candidate.codes[i] = static_cast<std::int8_t>(code);
        candidate.decoded[i] = static_cast<std::int16_t>(sample);
        const std::int64_t difference = pcm[i] - sample;
        candidate.error += difference * difference;
        history.hist2 = history.hist1;
        history.hist1 = sample;
    }
    return candidate;
}

}  // namespace

std::array<std::uint8_t, 16> encode_ps_adpcm_block(std::span<const std::int16_t, 28> pcm,
                                                   EncoderHistory& history,
                                                   std::span<std::int16_t, 28> decoded) {
    Candidate best;
    best.error = std::numeric_limits<std::int64_t>::max();
    int best_predictor = 0;
    int best_shift = 0;
    for (int predictor = 0; predictor < 5; ++predictor) {
        for (int shift = 0; shift <= 12; ++shift) {
            Candidate candidate = try_block(pcm, history, predictor, shift);
            if (candidate.error < best.error) {
                best = candidate;
                best_predictor = predictor;
                best_shift = shift;
            }
        }
    }

    std::array<std::uint8_t, 16> block{};
    block[0] = static_cast<std::uint8_t>(best_predictor << 4 | best_shift);
    for (std::size_t i = 0; i < best.codes.size(); ++i) {
        block[2 + i / 2] |= static_cast<std::uint8_t>((best.codes[i] & 0x0F) << (4 * (i % 2)));
    }
    std::copy(best.decoded.begin(), best.decoded.end(), decoded.begin());
    history.hist1 = best.decoded[27];
    history.hist2 = best.decoded[26];
    return block;
}
