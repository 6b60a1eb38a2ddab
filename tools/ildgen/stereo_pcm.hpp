#pragma once

#include <array>
#include <cstdint>
#include <vector>

// 16-bit stereo PCM, [0] left and [1] right, both of one length.
using StereoPcm = std::array<std::vector<std::int16_t>, 2>;
