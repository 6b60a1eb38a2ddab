#include "large_ild.hpp"

#include <algorithm>

#include "ild_writer.hpp"
#include "music_signal.hpp"

namespace {

constexpr std::uint32_t sample_rate = 44100;
constexpr std::size_t block_pair_size = 32;
constexpr std::uint8_t invalid_block_header = 0x50;  // predictor index 5

}  // namespace

std::vector<std::uint8_t> large_ild(std::size_t length, bool invalid_last_block) {
    const std::vector<std::uint8_t> tile =
        encode_ild(sample_rate, music_signal(sample_rate, 2 * sample_rate)).file;
    const auto tile_data = tile.begin() + ild_header_size;

    const std::size_t data_size = (length - ild_header_size) / block_pair_size * block_pair_size;
    std::vector<std::uint8_t> file = ild_header(sample_rate, static_cast<std::uint32_t>(data_size));
    file.resize(length);
    for (std::size_t done = 0; done < data_size;) {
        const std::size_t count = std::min<std::size_t>(tile.end() - tile_data, data_size - done);
        std::copy_n(tile_data, count, file.begin() + ild_header_size + done);
        done += count;
    }
    if (invalid_last_block && data_size > 0) {
        file[ild_header_size + data_size - block_pair_size / 2] = invalid_block_header;
    }
    return file;
}
