#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Prediction history of one channel, carried from each block to the next.
// Both values are clamped 16-bit samples; a new file starts both at zero.
struct AdpcmChannelState {
    std::int32_t hist1 = 0;  // most recent output sample
    std::int32_t hist2 = 0;  // the sample before hist1
};

inline constexpr std::size_t ps_adpcm_block_size = 16;
inline constexpr std::size_t ps_adpcm_samples_per_block = 28;

// Decodes one 16-byte PS ADPCM block and appends its 28 samples to `samples`.
// On success `state` holds the block's last two samples. A block whose
// predictor index exceeds 4, whose shift exceeds 12 or whose flag byte exceeds 7
// throws std::runtime_error("Invalid PS ADPCM block") before touching `state`
// or `samples`.
void decode_ps_adpcm_block(std::span<const std::uint8_t, ps_adpcm_block_size> block,
                           AdpcmChannelState& state, std::vector<float>& samples);
