// UTF-8 decoding checked against the C library's in a UTF-8 locale, and the
// escaping of message text row by row.
#include <gtest/gtest.h>
#include <locale.h>

#include <cwchar>
#include <string>
#include <vector>

#include "message_text.h"
#include "text_encoding.h"

namespace {

// The C library's length of the UTF-8 sequence starting bytes, or 0. UTF-8
// ends at U+10FFFF, where glibc still decodes code points beyond.
std::size_t libraryLength(const std::string& bytes) {
    std::mbstate_t state{};
    wchar_t c = 0;
    std::size_t length = std::mbrtowc(&c, bytes.data(), bytes.size(), &state);
    if (length == 0) return 1;  // a NUL byte
    return length > bytes.size() || static_cast<unsigned long>(c) > 0x10FFFF ? 0 : length;
}

// Every lead byte followed by every second byte and two of a few others:
// all the edges (overlong forms, surrogates, past U+10FFFF, cut short).
TEST(Utf8SequenceLength, AgreesWithTheCLibrary) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    ASSERT_NE(utf8, nullptr) << "no C.UTF-8 locale";
    locale_t old = uselocale(utf8);
    const std::vector<int> tails = {0x41, 0x80, 0x9F, 0xA0, 0xBF, 0xC0};
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int second = 0; second < 0x100; ++second) {
            for (int third : tails) {
                for (int fourth : tails) {
                    std::string bytes = {static_cast<char>(lead), static_cast<char>(second),
                                         static_cast<char>(third), static_cast<char>(fourth)};
                    for (std::size_t size = 1; size <= bytes.size(); ++size) {
                        std::string piece = bytes.substr(0, size);
                        ASSERT_EQ(utf8SequenceLength(piece), libraryLength(piece))
                            << std::hex << lead << ' ' << second << ' ' << third << ' ' << fourth << " ("
                            << size << " bytes)";
                    }
                }
            }
        }
    }
    uselocale(old);
    freelocale(utf8);
}

// Letters of any script and printable punctuation stay; C0, DEL, NUL, C1
// controls, Latin-1 bytes, a sequence cut short, an overlong form, a
// surrogate, and characters that show as nothing or a blank are escaped.
TEST(Escaped, ShowsOnlyPrintableUtf8) {
    struct Row {
        std::string bytes, shown;
    };
    const std::vector<Row> rows = {
        {"Müller Żółw 李 — ’ 📞", "Müller Żółw 李 — ’ 📞"},
        {"a\tb\nc\x7F", "a\\x09b\\x0Ac\\x7F"},
        {std::string("N\0l", 3), "N\\x00l"},
        {"\xC2\x85|\xC2\x9F|\xC2\xA1", "\\xC2\\x85|\\xC2\\x9F|\xC2\xA1"},
        {"M\xFCller", "M\\xFCller"},
        {"\xE2\x82", "\\xE2\\x82"},
        {"\xC0\xAF\xED\xA0\x80", "\\xC0\\xAF\\xED\\xA0\\x80"},
        {"\xC2\xA0\xC2\xAD\xE2\x80\x8B\xE2\x80\xAE", "\\xC2\\xA0\\xC2\\xAD\\xE2\\x80\\x8B\\xE2\\x80\\xAE"},
        {"\xEF\xBB\xBF\xE3\x80\x80", "\\xEF\\xBB\\xBF\\xE3\\x80\\x80"},
    };
    for (const Row& row : rows) EXPECT_EQ(escaped(row.bytes), row.shown);
    EXPECT_EQ(quoted(std::string("x\x1A")), "\"x\\x1A\"");
}

// Each character alone, escaped whole when it shows as nothing or a blank,
// and its neighbours at the edges of the hidden ranges left as they are.
TEST(Escaped, HidesCharactersThatShowAsNothingOrABlank) {
    struct Row {
        std::string character;
        bool hidden;
    };
    const std::vector<Row> rows = {
        {"\xF3\xA0\x81\x81", true},   // U+E0041 TAG LATIN CAPITAL LETTER A
        {"\xE2\xA0\x80", true},       // U+2800 BRAILLE PATTERN BLANK
        {"\xE2\xA0\x81", false},      // U+2801 BRAILLE PATTERN DOTS-1
        {"\xE2\xA3\xBF", false},      // U+28FF BRAILLE PATTERN DOTS-12345678
        {"\xE1\x9A\x80", true},       // U+1680 OGHAM SPACE MARK
        {"\xE1\x9A\x81", false},      // U+1681 OGHAM LETTER BEITH
        {"\xE1\x99\xBF", false},      // U+167F CANADIAN SYLLABICS BLACKFOOT W
        {"\xEF\xB8\x8F", true},       // U+FE0F VARIATION SELECTOR-16
        {"\xEF\xB8\x80", true},       // U+FE00 VARIATION SELECTOR-1
        {"\xEF\xB8\x90", false},      // U+FE10 PRESENTATION FORM FOR VERTICAL COMMA
        {"\xF3\xA0\x84\x80", true},   // U+E0100 VARIATION SELECTOR-17
        {"\xE2\x80\x8B", true},       // U+200B ZERO WIDTH SPACE
        {"\xE2\x80\x8D", true},       // U+200D ZERO WIDTH JOINER
        {"\xE2\x80\x90", false},      // U+2010 HYPHEN
        {"\xC2\xAD", true},           // U+00AD SOFT HYPHEN
        {"\xC2\xAC", false},          // U+00AC NOT SIGN
        {"\xC2\xAE", false},          // U+00AE REGISTERED SIGN
        {"\xE3\x85\xA4", true},       // U+3164 HANGUL FILLER
        {"\xE3\x85\xA3", false},      // U+3163 HANGUL LETTER I
        {"\xEF\xBE\xA0", true},       // U+FFA0 HALFWIDTH HANGUL FILLER
        {"\xE3\x80\x80", true},       // U+3000 IDEOGRAPHIC SPACE
        {"\xE2\x80\xA8", true},       // U+2028 LINE SEPARATOR
        {"\xE2\x81\xA0", true},       // U+2060 WORD JOINER
        {"\xF0\x93\x91\x81", true},   // U+13441 EGYPTIAN HIEROGLYPH FULL BLANK
        {"\xF3\xA0\x80\x81", true},   // U+E0001 LANGUAGE TAG
        {"\xF3\xA0\xBF\xBF", true},   // U+E0FFF, the last default-ignorable
        {"\xF3\xB0\x80\x80", false},  // U+F0000, private use
        {"\xF4\x8F\xBF\xBD", false},  // U+10FFFD, private use
        {"\xD8\x80", false},          // U+0600 ARABIC NUMBER SIGN, drawn over the digits after it
        {"\xC3\xA9", false},          // U+00E9 é
        {"\xD0\x96", false},          // U+0416 Ж
        {"\xE5\xB1\xB1", false},      // U+5C71 山
        {"\xF0\x9F\x98\x80", false},  // U+1F600 GRINNING FACE
        {"\xE2\x80\x94", false},      // U+2014 EM DASH
        {" ", false},
        {"~", false},
        {"\xC2\xA1", false},  // U+00A1 INVERTED EXCLAMATION MARK, after the no-break space
    };
    for (const Row& row : rows) {
        std::string bytesShown;
        for (unsigned char byte : row.character) {
            static const char kHex[] = "0123456789ABCDEF";
            bytesShown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        }
        EXPECT_EQ(escaped("<" + row.character + ">"), "<" + (row.hidden ? bytesShown : row.character) + ">")
            << bytesShown;
    }
}

// Forty bytes are shown whole; past them the cut falls between characters,
// and an escaped byte counts as the four bytes it shows as.
TEST(Quoted, CutsBetweenCharacters) {
    const std::string a36(36, 'a'), a38(38, 'a'), a39(39, 'a'), a40(40, 'a');
    auto times = [](int count, const std::string& text) {
        std::string result;
        for (int k = 0; k < count; ++k) result += text;
        return result;
    };
    struct Row {
        std::string bytes, shown;
    };
    const std::vector<Row> rows = {
        {a40, "\"" + a40 + "\""},
        {a40 + "b", "\"" + a40 + "\"..."},
        {a39 + "\xC3\xA9", "\"" + a39 + "\"..."},
        {a38 + "\xF0\x9F\x93\x9E", "\"" + a38 + "\"..."},
        {std::string(45, '\x80'), "\"" + times(10, "\\x80") + "\"..."},
        {a36 + "\x1B[2J", "\"" + a36 + "\\x1B\"..."},
        {a39 + "\x1B", "\"" + a39 + "\"..."},
        {std::string(100000, '\x01'), "\"" + times(10, "\\x01") + "\"..."},
    };
    for (const Row& row : rows) EXPECT_EQ(quoted(row.bytes), row.shown);
}

// A file's name is whole up to 160 bytes as shown; a longer one keeps its
// first 40 and its last 100, cut between characters.
TEST(ShownPath, KeepsStartAndEnd) {
    const std::string a40(40, 'a'), x30(30, 'x'), b97(97, 'b'), b99(99, 'b');
    const std::string e = "\xC3\xA9", esc10 = "\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B\\x1B";
    struct Row {
        std::string path, shown;
    };
    const std::vector<Row> rows = {
        {std::string(160, 'a'), std::string(160, 'a')},
        {a40 + std::string(100000, 'x') + b99 + "c", a40 + "..." + b99 + "c"},
        {a40 + x30 + "\n" + e + b97, a40 + "..." + e + b97},
        {a40 + x30 + e + b99, a40 + "..." + b99},
        {std::string(41, '\x1B'), esc10 + "..." + esc10 + esc10 + "\\x1B\\x1B\\x1B\\x1B\\x1B"},
    };
    for (const Row& row : rows) EXPECT_EQ(shownPath(row.path), row.shown);
}

TEST(Windows1252, ReadsAsPython) {
    // Bytes 0x80 to 0xFF as Python's cp1252 codec decodes them, the five it
    // leaves undefined kept as Latin-1's C1 controls.
    std::string text;
    for (char c : std::string_view("\x80\x8A\x8D\x99\x9F\xA0\xE9\xFF"))
        appendUtf8(text, windows1252Character(static_cast<unsigned char>(c)));
    EXPECT_EQ(text, "\xE2\x82\xAC\xC5\xA0\xC2\x8D\xE2\x84\xA2\xC5\xB8\xC2\xA0\xC3\xA9\xC3\xBF");
    EXPECT_FALSE(isDefinedInWindows1252(0x81));
    EXPECT_TRUE(isDefinedInWindows1252(0x80));
    EXPECT_TRUE(isDefinedInWindows1252(0xFC));
}

}  // namespace

// A lone surrogate as each caller wants it, a pair split between pieces,
// half a unit at the end, and a mark of the other byte order.
TEST(Utf16Decoder, LoneSurrogatesAndPieces) {
    struct Row {
        LoneSurrogate lone;
        std::vector<std::string> pieces;
        std::string text;
    };
    const std::vector<Row> rows = {
        {LoneSurrogate::Replaced, {std::string("a\0\x34\xD8", 4), "\x1E\xDD"}, "a\xF0\x9D\x84\x9E"},
        {LoneSurrogate::Replaced, {std::string("\x00\xDC!\0\x00\xD8", 6)}, "\xEF\xBF\xBD!\xEF\xBF\xBD"},
        {LoneSurrogate::Kept, {std::string("\x00\xDC!\0\x00\xD8", 6)}, "\xED\xB0\x80!\xED\xA0\x80"},
        {LoneSurrogate::Kept, {std::string("a\0b", 3)}, "a\xEF\xBF\xBD"},
        {LoneSurrogate::Kept,
         {std::string("a\0\xFE\xFF\0b", 6)},
         "a\xEF\xBB\xBF"
         "b"},
    };
    for (const Row& row : rows) {
        Utf16Decoder decoder(row.lone);
        std::string text;
        for (const std::string& piece : row.pieces) decoder.decode(piece, text, true);
        decoder.finish(text);
        EXPECT_EQ(text, row.text);
        EXPECT_EQ(decoder.damaged(),
                  text.find("\xEF\xBF\xBD") != std::string::npos || text.find('\xED') != std::string::npos);
    }
}
