#pragma once

#include <cstddef>
#include <cstdint>

#include "stereo_pcm.hpp"

// Signals that drive an encoder's analysis down other paths than music does: each is
// deterministic, and its two channels differ.

// Independent uniform noise on each channel, about 12 dB below full scale.
StereoPcm white_noise(std::uint32_t sample_rate, std::size_t frames);

// Zeros.
StereoPcm silence(std::uint32_t sample_rate, std::size_t frames);

// A sine sweeping exponentially from 20 Hz to the Nyquist frequency on the left, and
// the other way on the right, at half of full scale.
StereoPcm sine_sweep(std::uint32_t sample_rate, std::size_t frames);

// Clicks and short decaying noise bursts, four a second, in silence.
StereoPcm transients(std::uint32_t sample_rate, std::size_t frames);

// The music at eight times its level, clipped at full scale.
StereoPcm clipped_music(std::uint32_t sample_rate, std::size_t frames);
