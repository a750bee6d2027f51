#include "message_text.h"

#include "apstring.h"

bool isFieldSpace(char c) { return apstring::isWordSpace(static_cast<unsigned char>(c)); }

bool isControlByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 || byte == 0x7F) && !isFieldSpace(c);
}

std::string quoted(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown = "\"";
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}
