#include <windows.h>

#include <system_error>

#include "support.hpp"

namespace {

HANDLE inheritable(const std::filesystem::path& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::system_error(GetLastError(), std::system_category(), path.string());
    return file;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                          const std::vector<std::string>& environment, const std::filesystem::path& input,
                          std::size_t /* address_space: Linux only, like the rows that set one */) {
    // Quoting is enough: no argument of the tests holds a quote or ends in a backslash.
    std::wstring command_line;
    for (const std::string& argument : argv) {
        command_line += L'"' + std::filesystem::path(std::u8string(argument.begin(), argument.end())).wstring() + L"\" ";
    }
    // The child inherits our variables, so the added ones are set around its start.
    for (const std::string& variable : environment) _putenv(variable.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(input.empty() ? "NUL" : input, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = inheritable(scratch / ".stdout", GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritable(scratch / ".stderr", GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    const DWORD error = GetLastError();
    for (const std::string& variable : environment) _putenv(variable.substr(0, variable.find('=') + 1).c_str());
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(handle);
    if (!started) throw std::system_error(error, std::system_category(), argv[0]);
    DWORD status = 0;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {static_cast<int>(status), read_text(scratch / ".stdout"), read_text(scratch / ".stderr")};
}

bool runs_here(RunsOn where) { return where == RunsOn::everywhere || where == RunsOn::windows_only; }

std::string native_lines(const std::string& text) {
    std::string lines;
    for (char c : text) lines += c == '\n' ? "\r\n" : std::string(1, c);
    return lines;
}
