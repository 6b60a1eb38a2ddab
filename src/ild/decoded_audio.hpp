#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A decoded stereo stream. Each sample is a 16-bit PCM value divided by 32768,
// so it lies in [-1.0, 32767/32768]. Both channels always hold the same number
// of samples; that number is the stream's count of sample frames.
struct DecodedAudio {
    std::uint32_t sample_rate = 0;                  // Hz, 8000 to 192000
    std::array<std::vector<float>, 2> channels;     // [0] left, [1] right
};
