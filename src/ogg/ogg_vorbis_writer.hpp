#pragma once

#include <filesystem>

#include "ild/decoded_audio.hpp"

// Encodes `audio` as one Vorbis stream (stereo, 192 kbit/s) in an Ogg file at
// `output`, whatever its extension. The file is opened only after the encoder
// is ready, and on every way out, normal or not, it is closed and every FFmpeg
// object freed; a partly written file is left for the caller to remove.
// Throws std::runtime_error with "Vorbis encoder is unavailable",
// "Unable to allocate Vorbis encoder", "Unable to allocate Ogg stream",
// "Invalid encoder frame size" or FFmpeg's description of a failed call.
// Silences FFmpeg's own logging for the rest of the process.
void write_ogg_vorbis(const DecodedAudio& audio, const std::filesystem::path& output);
