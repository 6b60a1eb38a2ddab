#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "stereo_pcm.hpp"

inline constexpr std::uint32_t ild_header_size = 84;

// An 84-byte ILD header: magic, 2 channels, the data offset and size, the fixed
// value 16 and both copies of the rate. Every other byte is 0.
std::vector<std::uint8_t> ild_header(std::uint32_t sample_rate, std::uint32_t data_size,
                                     std::uint32_t data_offset = ild_header_size);

// Stores `value` little-endian at bytes `offset` to `offset` + 3.
void put_u32le(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

struct IldEncoding {
    std::vector<std::uint8_t> file;  // header at 84, then the block pairs
    StereoPcm decoded;               // what a correct decoder gives back, padding included
};

// Codes `pcm` as an ILD, padding the last block with silence to 28 samples.
IldEncoding encode_ild(std::uint32_t sample_rate, const StereoPcm& pcm);

// Writes `bytes` as the whole content of `path`; throws std::runtime_error on failure.
void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
