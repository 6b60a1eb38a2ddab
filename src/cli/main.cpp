// brindlewood_orvo_audio input.ild output.ogg: converts one ILD file to Ogg Vorbis.
// The only place that catches: every failure becomes one line on stderr,
// the removal of whatever the output path names, and status 1.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/utf8_path.hpp"
#include "ild/ild_reader.hpp"
#include "ogg/ogg_vorbis_writer.hpp"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "Usage: brindlewood_orvo_audio input.ild output.ogg\n";
        return 2;
    }

    std::filesystem::path output_path;
    try {
        output_path = path_from_utf8(argv[2]);
    } catch (const std::exception& error) {
        // No output path could be built, so there is nothing to remove.
        std::cerr << error.what() << '\n';
        return 1;
    }

    try {
        const DecodedAudio audio = read_ild(path_from_utf8(argv[1]));
        write_ogg_vorbis(audio, output_path);
        std::cout << static_cast<std::uint64_t>(audio.channels[0].size()) << " frames at "
                  << static_cast<std::int32_t>(audio.sample_rate) << " Hz\n";
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        std::error_code ignored;
        std::filesystem::remove(output_path, ignored);
        return 1;
    }
    return 0;
}
