#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>

#include "support.hpp"

extern char** environ;

namespace {

// What exec wants: the entries of `inherited` (null-ended, or null), those of `strings`, a null.
std::vector<char*> c_strings(const std::vector<std::string>& strings, char** inherited = nullptr) {
    std::vector<char*> pointers;
    for (char** entry = inherited; entry != nullptr && *entry != nullptr; ++entry) pointers.push_back(*entry);
    for (const std::string& text : strings) pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                          const std::vector<std::string>& environment, const std::filesystem::path& input) {
    const std::filesystem::path out = scratch / ".stdout", err = scratch / ".stderr";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args = c_strings(argv);
    std::vector<char*> variables = c_strings(environment, environ);
    pid_t pid = 0;
    const int failure = posix_spawn(&pid, args[0], &files, nullptr, args.data(), variables.data());
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    if (failure != 0 || waitpid(pid, &status, 0) != pid) {
        throw std::system_error(failure != 0 ? failure : errno, std::generic_category(), argv[0]);
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), read_text(out), read_text(err)};
}

bool runs_here(RunsOn where) { return where != RunsOn::windows_only; }

std::string native_lines(const std::string& text) { return text; }
