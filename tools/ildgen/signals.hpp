#pragma once

#include <cstddef>
#include <cstdint>

#include "stereo_pcm.hpp"

// Signals that drive an encoder's analysis down other paths than music does: each is
// deterministic, and its two channels differ unless said otherwise.

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

// The music 60 dB down, its peaks a few steps of the 16 bits.
StereoPcm quiet_music(std::uint32_t sample_rate, std::size_t frames);

// Square waves at full scale, 110 Hz on the left and 1 kHz on the right.
StereoPcm full_scale_square(std::uint32_t sample_rate, std::size_t frames);

// The highest value on the left and the lowest on the right, throughout.
StereoPcm full_scale_dc(std::uint32_t sample_rate, std::size_t frames);

// The music's two channels mixed into one, the same on both.
StereoPcm mono_music(std::uint32_t sample_rate, std::size_t frames);
