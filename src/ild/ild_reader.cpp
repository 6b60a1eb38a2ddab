#include "ild/ild_reader.hpp"

#include <cstdint>
#include <fstream>
#include <span>
#include <stdexcept>
#include <vector>

#include "ild/ps_adpcm.hpp"
#include "platform/huge_pages.hpp"

namespace {

constexpr std::uint64_t header_size = 84;
constexpr std::uint64_t max_file_size = 0x8000000;  // 128 MiB
constexpr std::uint32_t ild_magic = 0x00444C49;     // "ILD\0"
constexpr std::uint32_t stereo = 2;
constexpr std::uint32_t fixed_layout_value = 16;
constexpr std::uint32_t min_sample_rate = 8000;
constexpr std::uint32_t max_sample_rate = 192000;
constexpr std::uint64_t block_pair_size = 2 * ps_adpcm_block_size;

std::uint32_t read_u32le(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// `file` was opened positioned at its end, so its read position is its length.
std::vector<std::uint8_t> read_whole_file(std::ifstream& file) {
    const std::streamoff length = file.tellg();
    // One unsigned comparison also rejects the -1 of a failed position query.
    if (!file || static_cast<std::uint64_t>(length) - header_size > max_file_size - header_size) {
        throw std::runtime_error("Invalid ILD length");
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(length));
    advise_huge_pages(bytes.data(), bytes.capacity());
    bytes.resize(static_cast<std::size_t>(length));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), length);
    if (!file) {
        throw std::runtime_error("Unable to read ILD");
    }
    return bytes;
}

}  // namespace

DecodedAudio read_ild(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::vector<std::uint8_t> bytes = read_whole_file(file);
    const std::uint64_t length = bytes.size();

    if (read_u32le(bytes, 0) != ild_magic || read_u32le(bytes, 4) != stereo) {
        throw std::runtime_error("Expected a stereo ILD");
    }
    const std::uint64_t data_offset = read_u32le(bytes, 8);
    const std::uint64_t data_size = read_u32le(bytes, 12);
    if (data_offset < header_size || read_u32le(bytes, 32) != fixed_layout_value ||
        data_offset > length || data_size > length - data_offset ||
        data_size % block_pair_size != 0 || read_u32le(bytes, 72) != read_u32le(bytes, 40)) {
        throw std::runtime_error("Unsupported ILD layout");
    }

    DecodedAudio audio;
    audio.sample_rate = read_u32le(bytes, 40);
    if (audio.sample_rate - min_sample_rate > max_sample_rate - min_sample_rate) {
        throw std::runtime_error("Invalid ILD sample rate");
    }

    const std::size_t block_pairs = data_size / block_pair_size;
    for (std::vector<float>& channel : audio.channels) {
        channel.reserve(block_pairs * ps_adpcm_samples_per_block);
        advise_huge_pages(channel.data(), channel.capacity() * sizeof(float));
    }

    std::array<AdpcmChannelState, 2> states;
    const std::span<const std::uint8_t> data(bytes.data() + data_offset, data_size);
    for (std::size_t pair = 0; pair < block_pairs; ++pair) {
        const std::span<const std::uint8_t> blocks = data.subspan(pair * block_pair_size, block_pair_size);
        decode_ps_adpcm_block(blocks.first<ps_adpcm_block_size>(), states[0], audio.channels[0]);
        decode_ps_adpcm_block(blocks.last<ps_adpcm_block_size>(), states[1], audio.channels[1]);
    }
    return audio;
}
