// ildgen writes ILD files of test signals: music or another signal of a given length
// and rate, or a 44.1 kHz file of music of a given size in bytes, optionally with a
// last block that the decoder rejects.

#include <cstdint>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "ild_writer.hpp"
#include "large_ild.hpp"
#include "music_signal.hpp"
#include "signals.hpp"

namespace {

const char usage[] =
    "Usage: ildgen music|noise|silence|sweep|transients|clipped|quiet|square|dc|mono output.ild seconds [rate]\n"
    "       ildgen large output.ild bytes [invalid-last-block]\n";

const std::map<std::string, StereoPcm (*)(std::uint32_t, std::size_t)> signals = {
    {"music", music_signal}, {"noise", white_noise},      {"silence", silence},
    {"sweep", sine_sweep},   {"transients", transients}, {"clipped", clipped_music},
    {"quiet", quiet_music},  {"square", full_scale_square}, {"dc", full_scale_dc},
    {"mono", mono_music},
};

// Writes the file that `args` ask for; false when they match neither usage.
bool write_requested(const std::vector<std::string>& args) {
    const std::size_t count = args.size();
    const auto signal = signals.find(args[0]);
    if (signal != signals.end() && (count == 3 || count == 4)) {
        const auto rate = static_cast<std::uint32_t>(count == 4 ? std::stoul(args[3]) : 44100);
        const auto frames = static_cast<std::size_t>(std::stod(args[2]) * rate);
        write_file(args[1], encode_ild(rate, signal->second(rate, frames)).file);
        return true;
    }
    const bool invalid_last_block = count == 4 && args[3] == "invalid-last-block";
    if (args[0] == "large" && (count == 3 || invalid_last_block)) {
        write_file(args[1], large_ild(std::stoul(args[2]), invalid_last_block));
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        if (argc < 2 || !write_requested({argv + 1, argv + argc})) {
            std::cerr << usage;
            return 2;
        }
    } catch (const std::exception& error) {
        std::cerr << "ildgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
