// ild_to_wav input.ild output.wav: writes the PCM that an ILD decodes to as a
// 16-bit stereo WAV, the input of the benchmark's oggenc and ffmpeg runs.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <utility>
#include <vector>

#include "ild/ild_reader.hpp"
#include "ild_writer.hpp"

namespace {

constexpr std::uint32_t wav_header_size = 44;
constexpr std::uint32_t bytes_per_frame = 4;  // two 16-bit samples

std::vector<std::uint8_t> wav_file(const DecodedAudio& audio) {
    const auto frames = static_cast<std::uint32_t>(audio.channels[0].size());
    const std::uint32_t data_size = frames * bytes_per_frame;
    std::vector<std::uint8_t> wav(wav_header_size + std::size_t{data_size});
    for (const auto& [offset, tag] : {std::pair{0, "RIFF"}, {8, "WAVE"}, {12, "fmt "}, {36, "data"}}) {
        std::copy_n(tag, 4, wav.begin() + offset);
    }
    put_u32le(wav, 4, wav_header_size - 8 + data_size);
    put_u32le(wav, 16, 16);                                  // fmt chunk size
    put_u32le(wav, 20, 1 | 2 << 16);                         // integer PCM, 2 channels
    put_u32le(wav, 24, audio.sample_rate);
    put_u32le(wav, 28, audio.sample_rate * bytes_per_frame);  // bytes per second
    put_u32le(wav, 32, bytes_per_frame | 16 << 16);           // block align, bits per sample
    put_u32le(wav, 40, data_size);

    std::size_t offset = wav_header_size;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (const std::vector<float>& channel : audio.channels) {
            // Exact: every decoded sample is a 16-bit value divided by 32768.
            const auto sample = static_cast<std::int16_t>(std::lround(channel[frame] * 32768.0f));
            const auto bits = static_cast<std::uint16_t>(sample);
            wav[offset++] = static_cast<std::uint8_t>(bits);
            wav[offset++] = static_cast<std::uint8_t>(bits >> 8);
        }
    }
    return wav;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "Usage: ild_to_wav input.ild output.wav\n";
        return 2;
    }
    try {
        write_file(argv[2], wav_file(read_ild(argv[1])));
    } catch (const std::exception& error) {
        std::cerr << "ild_to_wav: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
