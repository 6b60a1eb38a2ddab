#pragma once

#include <filesystem>
#include <string>

#include "ild/decoded_audio.hpp"
#include "stereo_pcm.hpp"

// Helpers around FFmpeg's and vorbis-tools' command lines, which judge our output.

// 16-bit PCM as the reader delivers it: each sample divided by 32768.
DecodedAudio as_decoded_audio(std::uint32_t sample_rate, const StereoPcm& pcm);

// The Vorbis encoder's frame size once opened for stereo at `sample_rate`.
int vorbis_frame_size(int sample_rate);

// Decodes with libvorbisfile (oggdec -R): 16-bit interleaved bytes, exact in length.
std::string decode_with_oggdec(const std::filesystem::path& ogg, const std::filesystem::path& scratch);

// What FFmpeg's command line writes from the same samples with libvorbis at 192k.
void encode_with_ffmpeg_cli(const DecodedAudio& audio, const std::filesystem::path& ogg,
                            const std::filesystem::path& scratch);
