#include "message_text.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "apstring.h"
#include "hidden_characters.h"
#include "text_encoding.h"

namespace {

// Controls, and characters a terminal shows as nothing or as a blank.
bool isHidden(char32_t c) {
    const CodePointRange* end = std::end(kHiddenCharacters);
    const CodePointRange* range = std::lower_bound(
        std::begin(kHiddenCharacters), end, c,
        [](const CodePointRange& candidate, char32_t code) { return candidate.last < code; });
    return range != end && range->first <= c;
}

// One character of a text as escaped() shows it: its bytes, as they are
// or each as \xNN.
struct ShownCharacter {
    std::string_view bytes;
    bool plain;
    std::size_t width() const { return plain ? bytes.size() : 4 * bytes.size(); }
};

ShownCharacter nextCharacter(std::string_view bytes) {
    Utf8Char character = decodeUtf8(bytes);
    // A sequence the text ends inside is not UTF-8 either.
    std::size_t taken = character.length > 0 ? character.length : bytes.size();
    return {bytes.substr(0, taken), character.valid && !isHidden(character.code)};
}

void append(std::string& shown, const ShownCharacter& character) {
    static const char kHex[] = "0123456789ABCDEF";
    if (character.plain) {
        shown += character.bytes;
        return;
    }
    for (char c : character.bytes) {
        auto byte = static_cast<unsigned char>(c);
        shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
}

// Appends bytes to shown, escaped, as far as they fit in limit bytes of
// it; returns how many of the bytes were taken.
std::size_t appendEscaped(std::string& shown, std::string_view bytes, std::size_t limit) {
    std::size_t taken = 0;
    std::size_t width = 0;
    while (taken < bytes.size()) {
        ShownCharacter character = nextCharacter(bytes.substr(taken));
        width += character.width();
        if (width > limit) break;
        append(shown, character);
        taken += character.bytes.size();
    }
    return taken;
}

// The last characters of bytes that show in at most limit bytes, escaped.
std::string escapedEnd(std::string_view bytes, std::size_t limit) {
    // No character shows in less than a byte.
    std::size_t from = bytes.size() > limit ? bytes.size() - limit : 0;
    for (int k = 0; k < 3 && from > 0 && (static_cast<unsigned char>(bytes[from]) & 0xC0) == 0x80; ++k)
        --from;
    std::vector<ShownCharacter> characters;
    for (std::string_view rest = bytes.substr(from); !rest.empty();) {
        characters.push_back(nextCharacter(rest));
        rest.remove_prefix(characters.back().bytes.size());
    }
    std::size_t first = characters.size();
    for (std::size_t width = 0; first > 0 && width + characters[first - 1].width() <= limit; --first)
        width += characters[first - 1].width();
    std::string shown;
    for (std::size_t k = first; k < characters.size(); ++k) append(shown, characters[k]);
    return shown;
}

}  // namespace

std::string escaped(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    appendEscaped(shown, bytes, std::string::npos);
    return shown;
}

std::string escapedShort(std::string_view bytes, std::size_t shown) {
    std::string text;
    bool whole = appendEscaped(text, bytes, shown) == bytes.size();
    return whole ? text : text + "...";
}

std::string quoted(std::string_view bytes, std::size_t shown) {
    std::string text = "\"";
    bool whole = appendEscaped(text, bytes, shown) == bytes.size();
    return text + (whole ? "\"" : "\"...");
}

std::string shownPath(std::string_view path) {
    constexpr std::size_t kWhole = 160, kStart = 40, kEnd = 100;
    std::string shown;
    if (appendEscaped(shown, path, kWhole) == path.size()) return shown;
    shown.clear();
    appendEscaped(shown, path, kStart);
    return shown + "..." + escapedEnd(path, kEnd);
}
