#include "message_text.h"

#include <algorithm>
#include <iterator>

#include "apstring.h"
#include "hidden_characters.h"
#include "text_encoding.h"

bool isFieldSpace(char c) { return apstring::isWordSpace(static_cast<unsigned char>(c)); }

namespace {

// Controls, and characters a terminal shows as nothing or as a blank.
bool isHidden(char32_t c) {
    const CodePointRange* end = std::end(kHiddenCharacters);
    const CodePointRange* range = std::lower_bound(
        std::begin(kHiddenCharacters), end, c,
        [](const CodePointRange& candidate, char32_t code) { return candidate.last < code; });
    return range != end && range->first <= c;
}

}  // namespace

std::string escaped(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(bytes.size());
    while (!bytes.empty()) {
        Utf8Char character = decodeUtf8(bytes);
        bool plain = character.valid && !isHidden(character.code);
        // A sequence the text ends inside is not UTF-8 either.
        std::size_t taken = character.length > 0 ? character.length : bytes.size();
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

namespace {

// A name's worth of a value that may be any length: its first 40 bytes,
// cut between characters.
std::string_view shortened(std::string_view bytes) {
    constexpr std::size_t kShown = 40;
    if (bytes.size() <= kShown) return bytes;
    std::size_t cut = kShown;
    while (cut > kShown - 3 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
    return bytes.substr(0, cut);
}

}  // namespace

std::string escapedShort(std::string_view bytes) {
    std::string_view shown = shortened(bytes);
    return escaped(shown) + (shown.size() < bytes.size() ? "..." : "");
}

std::string quotedShort(std::string_view bytes) {
    std::string_view shown = shortened(bytes);
    return quoted(shown) + (shown.size() < bytes.size() ? "..." : "");
}
