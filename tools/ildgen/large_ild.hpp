#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 44.1 kHz ILD file of exactly `length` bytes (84 to 128 MiB): the header, as
// many block pairs as fit, made by repeating two seconds of the musical test
// signal, and zero padding. With `invalid_last_block` the last block of the
// data region has predictor index 5, so the decoder rejects it after decoding
// everything before it.
std::vector<std::uint8_t> large_ild(std::size_t length, bool invalid_last_block);
