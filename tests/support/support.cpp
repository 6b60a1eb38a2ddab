#include "support.hpp"

#include <fstream>
#include <iterator>
#include <random>

std::filesystem::path make_temp_dir() {
    std::random_device random;
    std::filesystem::path path;
    do {
        path = std::filesystem::temp_directory_path() / ("brindlewood-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path));
    return path;
}

std::string read_text(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string utf8_text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
