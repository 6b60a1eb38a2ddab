#include "signals.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "music_signal.hpp"

namespace {

// xorshift32: the same numbers on every platform, unlike the standard distributions.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    // Uniform in [-1, 1).
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1;
    }

private:
    std::uint32_t state_;
};

std::int16_t to_pcm(double value) {
    return static_cast<std::int16_t>(std::clamp(std::lround(value * 32767), -32768L, 32767L));
}

StereoPcm sized(std::size_t frames) { return {std::vector<std::int16_t>(frames), std::vector<std::int16_t>(frames)}; }

}  // namespace

StereoPcm white_noise(std::uint32_t, std::size_t frames) {
    StereoPcm pcm = sized(frames);
    Noise noise(0x2545F491);
    for (std::size_t n = 0; n < frames; ++n) {
        pcm[0][n] = to_pcm(0.25 * noise.next());
        pcm[1][n] = to_pcm(0.25 * noise.next());
    }
    return pcm;
}

StereoPcm silence(std::uint32_t, std::size_t frames) { return sized(frames); }

StereoPcm sine_sweep(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = sized(frames);
    const double seconds = static_cast<double>(frames) / sample_rate;
    const double low = 20;
    const double octaves = std::log2(sample_rate / 2.0 / low);
    // The phase of a sweep whose frequency doubles every seconds / octaves.
    const auto phase = [&](double t) {
        const double rate = octaves / seconds;
        return 2 * std::numbers::pi * low * (std::exp2(rate * t) - 1) / (rate * std::numbers::ln2);
    };
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / sample_rate;
        pcm[0][n] = to_pcm(0.5 * std::sin(phase(t)));
        pcm[1][n] = to_pcm(0.5 * std::sin(phase(seconds - t)));
    }
    return pcm;
}

StereoPcm transients(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = sized(frames);
    Noise noise(0x9E3779B9);
    const std::size_t period = sample_rate / 4;
    for (std::size_t n = 0; n < frames; ++n) {
        const std::size_t age = n % period;
        const double t = static_cast<double>(age) / sample_rate;
        // A click on the left, then a burst decaying within 20 ms on both, louder on the right.
        const double burst = t < 0.02 ? noise.next() * std::exp(-t / 0.005) : 0.0;
        pcm[0][n] = to_pcm(age == 0 ? 0.9 : 0.4 * burst);
        pcm[1][n] = to_pcm(0.8 * burst);
    }
    return pcm;
}

StereoPcm clipped_music(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = music_signal(sample_rate, frames);
    for (auto& channel : pcm) {
        for (std::int16_t& sample : channel) {
            sample = static_cast<std::int16_t>(std::clamp(sample * 8, -32768, 32767));
        }
    }
    return pcm;
}

StereoPcm quiet_music(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = music_signal(sample_rate, frames);
    for (auto& channel : pcm) {
        for (std::int16_t& sample : channel) {
            sample = static_cast<std::int16_t>(sample / 1000);
        }
    }
    return pcm;
}

StereoPcm full_scale_square(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = sized(frames);
    const auto square = [&](double frequency, std::size_t n) {
        return std::fmod(frequency * static_cast<double>(n) / sample_rate, 1.0) < 0.5 ? std::int16_t{32767}
                                                                                      : std::int16_t{-32768};
    };
    for (std::size_t n = 0; n < frames; ++n) {
        pcm[0][n] = square(110, n);
        pcm[1][n] = square(1000, n);
    }
    return pcm;
}

StereoPcm full_scale_dc(std::uint32_t, std::size_t frames) {
    return {std::vector<std::int16_t>(frames, 32767), std::vector<std::int16_t>(frames, -32768)};
}

StereoPcm mono_music(std::uint32_t sample_rate, std::size_t frames) {
    StereoPcm pcm = music_signal(sample_rate, frames);
    for (std::size_t n = 0; n < frames; ++n) {
        pcm[0][n] = pcm[1][n] = static_cast<std::int16_t>((pcm[0][n] + pcm[1][n]) / 2);
    }
    return pcm;
}
