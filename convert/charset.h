// Text in a character set a vCard names, as UTF-8.
#ifndef CONVERT_CHARSET_H
#define CONVERT_CHARSET_H
#include <string>
#include <string_view>
enum class CharsetOutcome { Converted, Replaced, Unknown };
struct CharsetText {
    CharsetOutcome outcome;
    std::string text;
};
CharsetText convertToUtf8(std::string_view bytes, std::string_view charset);
#endif
