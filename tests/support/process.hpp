#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;
    std::string err;
};

// Runs `argv` (argv[0] a path or a name looked up in PATH) with stdin closed,
// capturing both output streams through files in `scratch`.
ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch);

std::string read_text(const std::filesystem::path& path);
