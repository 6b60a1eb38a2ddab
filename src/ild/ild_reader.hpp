#pragma once

#include <filesystem>

#include "ild/decoded_audio.hpp"

// Reads a whole ILD file, validates its header and decodes every PS ADPCM block
// pair into a DecodedAudio. Throws std::runtime_error with one of
// "Invalid ILD length", "Unable to read ILD", "Expected a stereo ILD",
// "Unsupported ILD layout", "Invalid ILD sample rate" or "Invalid PS ADPCM block"
// (the first broken rule wins), and lets std::bad_alloc pass.
DecodedAudio read_ild(const std::filesystem::path& path);
