// ildgen output.ild seconds [rate]: writes a musical test signal as an ILD file.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "ild_writer.hpp"
#include "music_signal.hpp"

int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        std::cerr << "Usage: ildgen output.ild seconds [rate]\n";
        return 2;
    }
    try {
        const double seconds = std::stod(argv[2]);
        const auto rate = static_cast<std::uint32_t>(argc == 4 ? std::stoul(argv[3]) : 44100);
        const auto frames = static_cast<std::size_t>(seconds * rate);
        write_file(argv[1], encode_ild(rate, music_signal(rate, frames)).file);
    } catch (const std::exception& error) {
        std::cerr << "ildgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
