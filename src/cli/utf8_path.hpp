#pragma once

#include <filesystem>

// Builds a path from a command-line argument that must be well-formed UTF-8.
// Linux paths accept any bytes, so the text is checked here: an overlong form,
// a surrogate, a code point above U+10FFFF, a stray or missing continuation
// byte throws std::system_error with std::errc::illegal_byte_sequence.
std::filesystem::path path_from_utf8(const char* argument);
