#include "charset.h"

#include "ascii.h"
#include "charset_system.h"
#include "text_encoding.h"

namespace {

constexpr std::size_t kLongestName = 64;

// The bytes of a set's name. Anything else may come from a hostile file; a
// slash in particular would let the name pass options to glibc's iconv.
bool isNameByte(char c) {
    return isAsciiLetterOrDigit(c) || std::string_view("-_.:+()").find(c) != std::string_view::npos;
}

bool isName(std::string_view charset) {
    if (charset.empty() || charset.size() > kLongestName) return false;
    for (char c : charset) {
        if (!isNameByte(c)) return false;
    }
    return true;
}

CharsetText checkedUtf8(std::string_view bytes) {
    CharsetText result{CharsetOutcome::Converted, {}};
    result.text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Char c = decodeUtf8(bytes);
        const std::size_t length = c.length == 0 ? bytes.size() : c.length;  // 0: cut short by the end
        if (c.valid) {
            result.text.append(bytes.substr(0, length));
        } else {
            appendUtf8(result.text, c.code);
            result.outcome = CharsetOutcome::Replaced;
        }
        bytes.remove_prefix(length);
    }
    return result;
}

}  // namespace

std::string charsetKey(std::string_view charset) {
    std::string key;
    for (char c : charset) {
        if (c == '-' || c == '_') continue;
        key += asciiLower(c);
    }
    return key;
}

CharsetText convertToUtf8(std::string_view bytes, std::string_view charset) {
    if (!isName(charset)) return {CharsetOutcome::Unknown, {}};
    if (charsetKey(charset) == "utf8") return checkedUtf8(bytes);
    return systemConvertToUtf8(bytes, std::string(charset));
}
