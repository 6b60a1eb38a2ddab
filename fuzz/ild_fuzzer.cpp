// libFuzzer target: any bytes, as a file, through read_ild. Each input must give
// a well-formed DecodedAudio or one of the reader's own messages; anything else
// (another exception, another message, a broken invariant) aborts as a finding.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ild/ild_reader.hpp"

namespace {

constexpr float lowest_sample = -1.0f;
constexpr float highest_sample = 32767.0f / 32768.0f;

// read_ild takes a path, so every input goes through one scratch file, kept on
// tmpfs when there is one and removed when the fuzzer exits.
class ScratchFile {
public:
    ScratchFile() {
        const std::filesystem::path dir =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (dir / "brindlewood-fuzz-XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        close(fd);
        path_ = pattern;
    }
    ~ScratchFile() { std::filesystem::remove(path_); }

    const std::filesystem::path& hold(const std::uint8_t* data, std::size_t size) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }

private:
    std::filesystem::path path_;
};

bool is_reader_message(std::string_view message) {
    for (std::string_view known : {"Invalid ILD length", "Unable to read ILD", "Expected a stereo ILD",
                                   "Unsupported ILD layout", "Invalid ILD sample rate", "Invalid PS ADPCM block"}) {
        if (message == known) {
            return true;
        }
    }
    return false;
}

std::uint32_t u32le(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// An accepted file had a full header, so its data size field is there to check against.
void check_decoded(const DecodedAudio& audio, const std::uint8_t* data) {
    require(audio.sample_rate >= 8000 && audio.sample_rate <= 192000, "sample rate in range");
    const std::vector<float>& left = audio.channels[0];
    const std::vector<float>& right = audio.channels[1];
    require(left.size() == right.size(), "channels of one length");
    require(left.size() == std::size_t{u32le(data + 12)} / 32 * 28, "28 samples per block pair");
    for (const std::vector<float>* channel : {&left, &right}) {
        for (float sample : *channel) {
            require(sample >= lowest_sample && sample <= highest_sample, "sample in range");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile scratch;
    const std::filesystem::path& path = scratch.hold(data, size);
    try {
        check_decoded(read_ild(path), data);
    } catch (const std::runtime_error& error) {
        if (!is_reader_message(error.what())) {
            std::fprintf(stderr, "unexpected message: %s\n", error.what());
            std::abort();
        }
    }
    return 0;
}
