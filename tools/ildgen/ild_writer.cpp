#include "ild_writer.hpp"

#include <algorithm>
#include <fstream>
#include <span>
#include <stdexcept>

#include "ps_adpcm_encoder.hpp"

void put_u32le(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> ild_header(std::uint32_t sample_rate, std::uint32_t data_size,
                                     std::uint32_t data_offset) {
    std::vector<std::uint8_t> header(ild_header_size, 0);
    put_u32le(header, 0, 0x00444C49);  // "ILD\0"
    put_u32le(header, 4, 2);
    put_u32le(header, 8, data_offset);
    put_u32le(header, 12, data_size);
    put_u32le(header, 32, 16);
    put_u32le(header, 40, sample_rate);
    put_u32le(header, 72, sample_rate);
    return header;
}

IldEncoding encode_ild(std::uint32_t sample_rate, const StereoPcm& pcm) {
    const std::size_t blocks = (pcm[0].size() + 27) / 28;
    IldEncoding encoding;
    encoding.file = ild_header(sample_rate, static_cast<std::uint32_t>(blocks * 32));
    encoding.file.reserve(ild_header_size + blocks * 32);

    std::array<EncoderHistory, 2> histories;
    for (std::size_t block = 0; block < blocks; ++block) {
        for (std::size_t channel = 0; channel < 2; ++channel) {
            std::array<std::int16_t, 28> input{};
            const std::size_t start = block * 28;
            const std::size_t count = std::min<std::size_t>(28, pcm[channel].size() - start);
            std::copy_n(pcm[channel].begin() + static_cast<std::ptrdiff_t>(start), count, input.begin());

            std::array<std::int16_t, 28> decoded{};
            const std::array<std::uint8_t, 16> bytes =
                encode_ps_adpcm_block(input, histories[channel], decoded);
            encoding.file.insert(encoding.file.end(), bytes.begin(), bytes.end());
            encoding.decoded[channel].insert(encoding.decoded[channel].end(), decoded.begin(), decoded.end());
        }
    }
    return encoding;
}

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}
