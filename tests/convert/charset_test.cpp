// Text in the sets vCards name, made UTF-8 by the system's converter. The
// bytes and the UTF-8 they stand for come from Python 3's codecs, not from
// the converter under test: text.encode(codec) for each row of kTexts, and
// bytes.decode(codec, "replace") for the rows of kReplaced.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "charset.h"
#include "text_encoding.h"

using namespace std::string_view_literals;

namespace {

struct Row {
    std::string_view charset, bytes, utf8;
};

const Row kTexts[] = {
    {"Shift_JIS", "\x8e\x52\x93\x63", "山田"},
    {"ISO-8859-1", "\xfc", "ü"},
    {"windows-1252", "\x80", "€"},
    {"ISO-8859-15", "\xa4", "€"},
    {"KOI8-R", "\xe9\xd7\xc1\xce\xcf\xd7", "Иванов"},
    {"windows-1251", "\xcf\xb8\xf2\xf0", "Пётр"},
    {"IBM866", "\x8f\xf1\xe2\xe0", "Пётр"},
    {"GB2312", "\xd5\xc5\xce\xb0", "张伟"},
    {"GB18030", "\xa2\xe3\x94\x39\xfc\x36", "€😀"},
    {"Big5", "\xb3\xaf\xa4\x6a\xa4\xe5", "陳大文"},
    {"EUC-KR", "\xb1\xe8\xb9\xce\xc1\xd8", "김민준"},
    {"EUC-JP", "\xce\xeb\xcc\xda", "鈴木"},
    {"ISO-2022-JP", "\x1b\x24\x42\x3b\x33\x45\x44\x1b\x28\x42\x20\x1b\x24\x42\x42\x40\x4f\x3a\x1b\x28\x42",
     "山田 太郎"},
    {"UTF-16LE", "\x5a\x00\x6f\x00\xeb\x00"sv, "Zoë"},
    {"UTF-16BE", "\x00\x5a\x00\x6f\x00\xeb"sv, "Zoë"},
    {"macintosh", "\x5a\x6f\x91", "Zoë"},
    // glibc holds a letter back in case an accent follows: "a" comes out
    // only when the conversion is flushed at the end.
    {"windows-1258", "Hoa", "Hoa"},
    {"UTF-8", "Zo\xc3\xab \xe5\xb1\xb1", "Zoë 山"},
    // The case of a name does not matter.
    {"shift_jis", "\x8e\x52\x93\x63", "山田"},
    {"WINDOWS-1252", "\x80", "€"},
    {"utf-8", "\xc3\xbc", "ü"},
    {"Big5", "", ""},  // nothing at all
};

const Row kReplaced[] = {
    {"Shift_JIS", "\x81\x20", "\uFFFD "},       // no second byte of 0x81
    {"Shift_JIS", "\xff", "\uFFFD"},            // no character starts so
    {"Shift_JIS", "\x8e\x52\x93", "山\uFFFD"},  // cut short by the end
    {"GB18030", "\x94\x39\xfc", "\uFFFD"},      // three bytes of four, one U+FFFD
    {"windows-1252", "\x81", "\uFFFD"},         // one of the five it leaves out
    {"Big5", "\xa4\x20", "\uFFFD "},
    {"EUC-KR", "\xb1\x01", "\uFFFD\x01"},
    {"ISO-2022-JP", "\x1b\x24", "\uFFFD"},                    // an escape cut short
    {"ISO-2022-JP", "\x1b\x24\x42\x3b\x33\x3b", "山\uFFFD"},  // a character cut short
    {"UTF-8", "\xed\xa0\x80", "\uFFFD\uFFFD\uFFFD"},          // a surrogate
    {"UTF-8", "a\xc3", "a\uFFFD"},
    {"UTF-8", "\xc3z", "\uFFFDz"},
};

// Names of no set: one the system does not know, and ones that could come
// only from a hostile file and that the system is never asked about (some
// would mean something else to iconv).
const std::string_view kUnknownNames[] = {
    "X-NOPE",
    "",
    "Shift JIS",
    "SJIS\x01",
    "SJIS\n",
    "SJIS\0garbage"sv,  // iconv_open would read "SJIS"
    "UTF-8//IGNORE",    // glibc reads an option after the slash
    "ISO-8859-1,UTF-8",
    "ISO-8859-1\xff",
    "\xe3\x82\xb7\xe3\x83\x95\xe3\x83\x88JIS",
};

bool isUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

TEST(ConvertToUtf8, GivesWhatPythonEncoded) {
    for (const Row& row : kTexts) {
        SCOPED_TRACE(std::string(row.charset));
        const CharsetText result = convertToUtf8(row.bytes, row.charset);
        EXPECT_EQ(result.outcome, CharsetOutcome::Converted);
        EXPECT_EQ(result.text, row.utf8);
    }
}

TEST(ConvertToUtf8, PutsReplacementCharacterForWhatIsNotInTheSet) {
    for (const Row& row : kReplaced) {
        SCOPED_TRACE(std::string(row.charset) + " " + std::string(row.bytes));
        const CharsetText result = convertToUtf8(row.bytes, row.charset);
        EXPECT_EQ(result.outcome, CharsetOutcome::Replaced);
        EXPECT_EQ(result.text, row.utf8);
    }
}

TEST(ConvertToUtf8, AsksNothingAboutAnOddName) {
    for (std::string_view name : kUnknownNames) {
        SCOPED_TRACE(std::string(name));
        const CharsetText result = convertToUtf8("\x8e\x52", name);
        EXPECT_EQ(result.outcome, CharsetOutcome::Unknown);
        EXPECT_EQ(result.text, "");
    }
    EXPECT_EQ(convertToUtf8("a", std::string(64, 'A')).outcome, CharsetOutcome::Unknown);
    EXPECT_EQ(convertToUtf8("a", "ISO-8859-1" + std::string(10000, '1')).outcome, CharsetOutcome::Unknown);
}

// Every byte, and every pair of a lead byte and a second one, in each set:
// whatever the bytes, the text is UTF-8.
TEST(ConvertToUtf8, GivesUtf8ForAnyBytes) {
    std::string bytes;
    for (int first = 0; first < 0x100; ++first) {
        bytes += static_cast<char>(first);
        for (int second = 0; second < 0x100; second += 7) {
            bytes += static_cast<char>(first);
            bytes += static_cast<char>(second);
        }
    }
    for (const Row& row : kTexts) {
        SCOPED_TRACE(std::string(row.charset));
        const CharsetText result = convertToUtf8(bytes, row.charset);
        EXPECT_NE(result.outcome, CharsetOutcome::Unknown);
        EXPECT_TRUE(isUtf8(result.text));
    }
}

// A mebibyte with a byte not in the set after every character: each is an
// error of iconv's, and a conversion that did more than step past one
// (copying or starting again on what is left) would take minutes, not a
// fraction of a second.
TEST(ConvertToUtf8, TakesLinearTime) {
    std::string bytes, expected;
    while (bytes.size() < (1u << 20)) {
        bytes += "\x8e\x52\xff\x93\x63 ";
        expected += "山\uFFFD田 ";
    }
    const auto start = std::chrono::steady_clock::now();
    const CharsetText replaced = convertToUtf8(bytes, "Shift_JIS");
    const CharsetText checked = convertToUtf8(bytes, "UTF-8");
    const CharsetText whole = convertToUtf8(std::string(1u << 20, '\xfc'), "ISO-8859-1");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(replaced.outcome, CharsetOutcome::Replaced);
    EXPECT_TRUE(replaced.text == expected);
    EXPECT_EQ(checked.outcome, CharsetOutcome::Replaced);
    EXPECT_TRUE(isUtf8(checked.text));
    EXPECT_EQ(whole.outcome, CharsetOutcome::Converted);
    std::string umlauts;
    for (int i = 0; i < (1 << 20); ++i) umlauts += "ü";
    EXPECT_TRUE(whole.text == umlauts);
    EXPECT_LT(seconds, 10.0);
}

}  // namespace
