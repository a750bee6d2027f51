#include "message_text.h"

#include "apstring.h"
#include "text_encoding.h"

bool isFieldSpace(char c) { return apstring::isWordSpace(static_cast<unsigned char>(c)); }

bool isControlByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 || byte == 0x7F) && !isFieldSpace(c);
}

namespace {

char32_t codePoint(std::string_view sequence) {
    auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[k])); };
    if (sequence.size() == 1) return byte(0);
    char32_t value = byte(0) & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k) value = (value << 6) | (byte(k) & 0x3F);
    return value;
}

// Controls, and characters a terminal shows as nothing or as a blank.
bool isHidden(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x115F ||
           c == 0x1160 || c == 0x17B4 || c == 0x17B5 || c == 0x180E || (c >= 0x2000 && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0x3164 ||
           c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF9 && c <= 0xFFFB);
}

}  // namespace

std::string escaped(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(bytes.size());
    while (!bytes.empty()) {
        std::size_t length = utf8SequenceLength(bytes);
        bool plain = length > 0 && !isHidden(codePoint(bytes.substr(0, length)));
        std::size_t taken = length > 0 ? length : 1;
        for (char c : bytes.substr(0, taken)) {
            auto byte = static_cast<unsigned char>(c);
            if (plain) {
                shown += c;
            } else {
                shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
            }
        }
        bytes.remove_prefix(taken);
    }
    return shown;
}

std::string quoted(std::string_view bytes) { return "\"" + escaped(bytes) + "\""; }
