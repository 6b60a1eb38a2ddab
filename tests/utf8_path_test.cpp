#include <gtest/gtest.h>

#include <string>
#include <system_error>

#include "cli/utf8_path.hpp"

TEST(PathFromUtf8, AcceptsOnlyWellFormedText) {
    // Both ends of every length and of the narrowed second bytes after E0, ED, F0 and F4.
    EXPECT_NO_THROW(path_from_utf8("\xC2\x80\xDF\xBF \xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"
                                   " \xF0\x90\x80\x80\xF4\x8F\xBF\xBF"));
    // A stray continuation; overlong forms of two, three and four bytes; a surrogate; above
    // U+10FFFF; leads no text holds; a continuation missing at each place; a sequence cut short.
    for (const char* text : {"\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                             "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xC2(", "\xE2\x82(",
                             "\xF0\x90\x80(", "\xE2\x82"}) {
        EXPECT_THROW(path_from_utf8(text), std::system_error) << testing::PrintToString(std::string(text));
    }
}
