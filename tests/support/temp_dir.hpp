#pragma once

#include <filesystem>

// A fresh directory under the system's temporary folder, removed with all it
// holds when the object goes. Tests point every output path inside one,
// because the tool removes whatever a failed run's output path names.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};
