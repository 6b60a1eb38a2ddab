#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "support.hpp"

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                          const std::vector<std::string>& environment, const std::filesystem::path& input,
                          std::size_t address_space) {
    const std::filesystem::path out = scratch / ".stdout", err = scratch / ".stderr";
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        constexpr std::string_view launcher = LAUNCHER;  // tests/CMakeLists.txt: an emulator on PATH, or empty
        if (!launcher.empty()) args.push_back(const_cast<char*>(launcher.data()));
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
        const rlimit limit{address_space, address_space};
        if ((address_space == 0 || setrlimit(RLIMIT_AS, &limit) == 0) &&
            freopen(input.empty() ? "/dev/null" : input.c_str(), "r", stdin) && freopen(out.c_str(), "w", stdout) &&
            freopen(err.c_str(), "w", stderr)) {
            execvp(args[0], args.data());
        }
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) throw std::system_error(errno, std::generic_category(), argv[0]);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), read_text(out), read_text(err)};
}

bool runs_here(RunsOn where) {
    return where != RunsOn::windows_only && !(where == RunsOn::native_linux_only && UNDER_NODE);
}

std::string native_lines(const std::string& text) { return text; }
