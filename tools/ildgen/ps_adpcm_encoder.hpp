#pragma once

#include <array>
#include <cstdint>
#include <span>

// What a decoder holds between blocks of one channel: its last two samples.
struct EncoderHistory {
    std::int32_t hist1 = 0;
    std::int32_t hist2 = 0;
};

// Codes 28 samples as one 16-byte PS ADPCM block (flag byte 0), trying every
// predictor (0-4) and shift (0-12) and keeping the pair with the least squared
// error. `decoded` receives the samples a correct decoder will produce from the
// block; `history` moves on to that decoder's state after it.
std::array<std::uint8_t, 16> encode_ps_adpcm_block(std::span<const std::int16_t, 28> pcm,
                                                   EncoderHistory& history,
                                                   std::span<std::int16_t, 28> decoded);
