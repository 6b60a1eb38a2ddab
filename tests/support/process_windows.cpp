#include <windows.h>

#include <system_error>

#include "support.hpp"

namespace {

std::wstring wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// Quotes one argument so that the C runtime's parser hands it to main() unchanged.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        result.push_back(c);
        backslashes = 0;
    }
    return result.append(2 * backslashes, L'\\') + L"\"";
}

HANDLE inheritable(const std::filesystem::path& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), path.string());
    }
    return file;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                          const std::vector<std::string>& environment, const std::filesystem::path& input) {
    std::wstring command_line;
    for (const std::string& argument : argv) {
        command_line += (command_line.empty() ? L"" : L" ") + quoted(wide(argument));
    }
    // The child inherits our variables; the added ones are set around its start.
    for (const std::string& variable : environment) {
        _wputenv(wide(variable).c_str());
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(input.empty() ? "NUL" : input, false);
    startup.hStdOutput = inheritable(scratch / ".stdout", true);
    startup.hStdError = inheritable(scratch / ".stderr", true);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    const DWORD error = GetLastError();
    for (const std::string& variable : environment) {
        _wputenv((wide(variable.substr(0, variable.find('='))) + L"=").c_str());
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        CloseHandle(handle);
    }
    if (!started) {
        throw std::system_error(static_cast<int>(error), std::system_category(), argv[0]);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {static_cast<int>(status), read_text(scratch / ".stdout"), read_text(scratch / ".stderr")};
}

bool runs_here(RunsOn where) { return where != RunsOn::linux_only; }

std::string native_lines(const std::string& text) {
    std::string lines;
    for (char c : text) {
        lines += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return lines;
}
