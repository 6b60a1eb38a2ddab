#pragma once

#include <cstddef>
#include <cstdint>

#include "stereo_pcm.hpp"

// A few voices playing a repeating chord progression with plucked, decaying
// notes and a bass line, spread across the stereo field. Deterministic, and
// peaks well below full scale.
StereoPcm music_signal(std::uint32_t sample_rate, std::size_t frames);

// Two steady chords of two tones, a different one on each channel, high enough that a
// sample shifted, a frame dropped, doubled or misplaced, or the channels swapped, stand
// far out from a lossy codec's error.
StereoPcm two_tones(std::uint32_t sample_rate, std::size_t frames);
