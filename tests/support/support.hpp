#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What the tests share. What differs per platform is in process_<platform>.cpp.

std::filesystem::path make_temp_dir();

// A fresh temporary folder, removed with all it holds when it goes. Tests put every
// output inside one, because the tool removes whatever a failed run's output path names.
struct TempDir {
    const std::filesystem::path path = make_temp_dir();

    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path / name; }
};

std::string read_text(const std::filesystem::path& path);

// The path in UTF-8, whatever the platform's narrow encoding (on Linux its bytes).
std::string utf8_text(const std::filesystem::path& path);

struct ProcessResult {
    int status = -1;  // exit status, or 128 + the number of the signal that ended it
    std::string out;
    std::string err;
};

// Runs `argv` (UTF-8, argv[0] a path) with `environment` ("NAME=value") added to ours
// and standard input from `input` (none if empty); both outputs pass through `scratch`.
// On Linux a nonzero `address_space` caps the bytes of address space the child may use, and a
// cross-built test starts the child through the emulator that runs the test itself.
ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                          const std::vector<std::string>& environment = {}, const std::filesystem::path& input = {},
                          std::size_t address_space = 0);

// `text` as the platform's text-mode streams write it: on Windows each "\n" becomes "\r\n".
std::string native_lines(const std::string& text);

// Rows of a test table that only some platforms can run; runs_here decides. Native Linux
// leaves out the WebAssembly programs under Node, which hands a program its arguments as text.
enum class RunsOn { everywhere, linux_only, native_linux_only, windows_only };
bool runs_here(RunsOn where);
