#include "process.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

std::string read_text(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch) {
    const std::filesystem::path out_path = scratch / ".process-stdout";
    const std::filesystem::path err_path = scratch / ".process-stderr";
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
            _exit(127);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    int wait_status = 0;
    if (waitpid(pid, &wait_status, 0) != pid) {
        throw std::runtime_error("waitpid failed");
    }
    ProcessResult result;
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    result.out = read_text(out_path);
    result.err = read_text(err_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return result;
}
