#include "music_signal.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// C major, A minor, F major, G major: MIDI notes of each chord, lowest first.
constexpr int progression[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
constexpr double chord_seconds = 1.0;
constexpr double note_seconds = chord_seconds / 4;

double frequency(int midi_note) { return 440.0 * std::pow(2.0, (midi_note - 69) / 12.0); }

// A plucked tone: three harmonics under an exponential decay.
double pluck(double frequency, double age) {
    if (age < 0) {
        return 0;
    }
    const double phase = 2 * std::numbers::pi * frequency * age;
    const double tone = std::sin(phase) + 0.4 * std::sin(2 * phase) + 0.15 * std::sin(3 * phase);
    return tone * std::exp(-4.0 * age) * std::min(1.0, age * 400);
}

std::int16_t to_pcm(double value) {
    return static_cast<std::int16_t>(std::clamp(std::lround(value * 6000), -32768L, 32767L));
}

}  // namespace

StereoPcm music_signal(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm;
    pcm[0].resize(frames);
    pcm[1].resize(frames);
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / sample_rate;
        const auto chord_index = static_cast<std::size_t>(t / chord_seconds);
        const int* chord = progression[chord_index % 4];
        const double chord_age = t - static_cast<double>(chord_index) * chord_seconds;

        // An arpeggio: each note of the chord starts a quarter later, the fourth repeats the root an octave up.
        double left = 0;
        double right = 0;
        for (int voice = 0; voice < 4; ++voice) {
            const int note = voice < 3 ? chord[voice] : chord[0] + 12;
            const double sound = pluck(frequency(note), chord_age - voice * note_seconds);
            const double pan = (voice + 0.5) / 4;  // left to right
            left += sound * (1 - pan);
            right += sound * pan;
        }
        const double bass = 0.8 * pluck(frequency(chord[0] - 24), chord_age);
        left += bass;
        right += bass;

        pcm[0][n] = to_pcm(left);
        pcm[1][n] = to_pcm(right);
    }
    return pcm;
}

StereoPcm two_tones(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm;
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = 2 * std::numbers::pi * static_cast<double>(n) / sample_rate;
        pcm[0].push_back(static_cast<std::int16_t>(9800 * std::cos(997 * t) + 6500 * std::cos(6007 * t)));
        pcm[1].push_back(static_cast<std::int16_t>(9800 * std::cos(1499 * t) + 6500 * std::cos(8009 * t)));
    }
    return pcm;
}
