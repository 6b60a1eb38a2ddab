#include "cli/utf8_path.hpp"

#include <string_view>
#include <system_error>

namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed sequence starting at `text`, or 0 if there is none.
std::size_t sequence_length(std::u8string_view text) {
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        return 1;
    }
    // The narrowest ranges of the second byte rule out overlong forms, surrogates and
    // code points above U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || text[1] < low || text[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!is_continuation(text[i])) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::filesystem::path path_from_utf8(const char* argument) {
    std::u8string_view text(reinterpret_cast<const char8_t*>(argument));
    for (std::u8string_view rest = text; !rest.empty();) {
        const std::size_t length = sequence_length(rest);
        if (length == 0) {
            throw std::system_error(std::make_error_code(std::errc::illegal_byte_sequence));
        }
        rest.remove_prefix(length);
    }
    return std::filesystem::path(text);
}
