// pcm_snr reference.wav decoded.raw: how close a decoding (oggdec -R: 16-bit
// little-endian, interleaved) is to the 16-bit WAV the encoder was fed
// (ild_to_wav's, with its 44-byte header). Prints the signal-to-noise ratio in
// dB over the samples both hold, then the frame counts of reference and decoding.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

constexpr std::size_t wav_header_size = 44;

std::vector<std::int16_t> samples(const char* path, std::size_t skip) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::int16_t> values;
    for (std::size_t offset = skip; offset + 1 < bytes.size(); offset += 2) {
        const auto low = static_cast<std::uint8_t>(bytes[offset]);
        const auto high = static_cast<std::uint8_t>(bytes[offset + 1]);
        values.push_back(static_cast<std::int16_t>(low | high << 8));
    }
    return values;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "Usage: pcm_snr reference.wav decoded.raw\n";
        return 2;
    }
    const std::vector<std::int16_t> reference = samples(argv[1], wav_header_size);
    const std::vector<std::int16_t> decoded = samples(argv[2], 0);
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < std::min(reference.size(), decoded.size()); ++i) {
        const double error = reference[i] - decoded[i];
        signal += static_cast<double>(reference[i]) * reference[i];
        noise += error * error;
    }
    std::cout << 10 * std::log10(signal / noise) << ' ' << reference.size() / 2 << ' ' << decoded.size() / 2 << '\n';
    return 0;
}
