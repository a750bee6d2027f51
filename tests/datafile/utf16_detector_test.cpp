// Which files the UTF-16 detector takes for UTF-16, row by row: text in
// several scripts against UTF-8 holding NUL bytes, and the edges of each
// of its limits. Every row is shown whole and a byte at a time. Then the
// characters of every Unicode block, as a data file in UTF-16 and in UTF-8.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "address_book_detector.h"
#include "utf16_detector.h"

namespace {

using namespace std::string_literals;

// text in UTF-16 of the given order.
std::string utf16(const std::u16string& text, ByteOrder order) {
    std::string bytes;
    for (char16_t unit : text) {
        auto low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += order == ByteOrder::LittleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

template <typename Text>
Text repeated(const Text& text, int times) {
    Text result;
    for (int k = 0; k < times; ++k) result += text;
    return result;
}

std::u16string repeated(const char16_t* text, int times) { return repeated(std::u16string(text), times); }

std::optional<ByteOrder> detected(const std::string& bytes, bool bytewise) {
    Utf16Detector detector;
    if (!bytewise) detector.passed(bytes);
    for (std::size_t k = 0; bytewise && k < bytes.size(); ++k) detector.passed(bytes.substr(k, 1));
    return detector.order();
}

TEST(Utf16Detector, TellsUtf16TextFromOtherBytes) {
    constexpr auto LE = ByteOrder::LittleEndian;
    constexpr auto BE = ByteOrder::BigEndian;
    const std::u16string greek = u"Γιώργος Παπαδόπουλος 210 555-0103\n";
    struct Row {
        const char* what;
        std::string bytes;
        std::optional<ByteOrder> order;
    };
    const std::vector<Row> rows = {
        {"mark alone", "\xFF\xFE", LE},
        {"big-endian mark", "\xFE\xFF", BE},
        {"Greek", utf16(greek, LE), LE},
        {"Greek, big-endian", utf16(greek, BE), BE},
        {"CJK with NULs on the low side", utf16(u"一郎 鈴木 003 555-0102\n", LE), LE},
        {"Latin, one long line", utf16(repeated(u"abcdefgh", 20) + u"\n", LE), LE},
        {"no NUL byte", "Ann Smith 212 555-0101\n", std::nullopt},
        {"UTF-8 name holding NULs", "J\0o\0h\0n\0 Smith 212 555-0101\nAnn Lee 312 555-0102\n"s, std::nullopt},
        {"UTF-8 name holding a NUL run", "Ann\0\0\0\0\0\0 Smith 212 555-0101\n"s, std::nullopt},
        {"UTF-8 and a stray NUL after the line end", "Ann Smith 212 555-0101\n\0"s, std::nullopt},
        {"no blank or line end", utf16(repeated(u"ΓΓΓ123", 8), LE), std::nullopt},
        {"NULs on both sides", utf16(u"Ann Smith 212 555-0101\n", LE) + "\0A\0B\0C"s, std::nullopt},
        {"ASCII one unit in 8", utf16(repeated(repeated(u"Γ", 7) + u" ", 4), LE), LE},
        {"ASCII one unit in 9", utf16(repeated(repeated(u"Γ", 8) + u" ", 4), LE), std::nullopt},
        {"emoji: a surrogate pair", utf16(u"Ann Smith 212 555-0101 \U0001F4DE\n", LE), LE},
        {"a lone low surrogate in 64 units", utf16(repeated(greek + u"\xDC00" + repeated(u" ", 29), 2), LE),
         LE},
        {"a lone low surrogate in 63 units", utf16(repeated(greek + u"\xDC00" + repeated(u" ", 28), 2), LE),
         std::nullopt},
        {"a lone high surrogate in 63 units", utf16(repeated(greek + u"\xD800" + repeated(u" ", 28), 2), LE),
         std::nullopt},
        {"U+0000 in 63 units", utf16(repeated(greek + u"\0"s + repeated(u" ", 28), 2), LE), std::nullopt},
        {"Hangul, NUL low bytes", utf16(u"김대중 가나다 312 555-0187\n", LE), LE},
        {"Hangul, NUL low bytes, big-endian", utf16(u"김대중 가나다 312 555-0187\n", BE), BE},
        {"CJK, NUL low bytes", utf16(u"一 王一\n", LE), LE},
        {"CJK, NUL low bytes, big-endian", utf16(u"一 王一\n", BE), BE},
        {"emoji, a NUL low byte", utf16(u"\U0001F600 \U0001F600\n", BE), BE},
        {"both orders read, one with more ASCII", utf16(u"\u2000 \u2000 a\n", BE), BE},
        {"first line short of ASCII text", utf16(u"村上 春樹 3 555-0101\n", LE), LE},
        {"a vCard, then NULs",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:"s + repeated("a\0"s, 40) + "\r\nEND:VCARD\r\n", std::nullopt},
        {"UTF-8 names each byte followed by a NUL",
         "J\0o\0h\0n\0 S\0m\0i\0t\0h\0 212 555-0101\nA\0n\0n\0 L\0e\0e\0 312 555-0102\n"s, std::nullopt},
    };
    ASSERT_EQ(greek.size(), 34u);
    for (const Row& row : rows) {
        EXPECT_EQ(detected(row.bytes, false), row.order) << row.what;
        EXPECT_EQ(detected(row.bytes, true), row.order) << row.what << ", a byte at a time";
    }
}

// Each block's characters as data-file entries: two names of four
// characters, an area code and a number, with blank between the fields.
std::u16string entriesOf(const std::vector<char32_t>& characters, const std::u16string& blank) {
    std::u16string text;
    for (std::size_t k = 0; k < characters.size(); ++k) {
        if (k % 8 == 4) text += blank;
        char32_t c = characters[k];
        if (c < 0x10000) {
            text += static_cast<char16_t>(c);
        } else {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        if (k % 8 == 7 || k + 1 == characters.size()) text += blank + u"312" + blank + u"555-0187\n";
    }
    return text;
}

// The same in UTF-8, each character of the first names followed by a NUL.
std::string utf8WithNuls(const std::vector<char32_t>& characters) {
    std::string text;
    for (std::size_t k = 0; k < characters.size(); ++k) {
        if (k % 8 == 4) text += ' ';
        char32_t c = characters[k];
        int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        const unsigned lead[] = {0, 0xC0, 0xE0, 0xF0};
        text += static_cast<char>(lead[extra] | (c >> (6 * extra)));
        for (int n = extra - 1; n >= 0; --n) text += static_cast<char>(0x80 | ((c >> (6 * n)) & 0x3F));
        if (k % 8 < 4) text += '\0';
        if (k % 8 == 7 || k + 1 == characters.size()) text += " 312 555-0187\n";
    }
    return text;
}

TEST(Utf16Detector, TellsEveryUnicodeBlockInEitherEncoding) {
    std::ifstream table(UNICODE_BLOCKS);
    ASSERT_TRUE(table.is_open()) << UNICODE_BLOCKS;
    std::string line;
    int blocks = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::string name = line.substr(0, line.find(';'));
        std::istringstream runs(line.substr(name.size() + 1));
        std::vector<char32_t> characters;
        for (std::string run; runs >> run;) {
            char32_t first = std::stoul(run, nullptr, 16);
            std::size_t dash = run.find('-');
            char32_t last = dash == std::string::npos ? first : std::stoul(run.substr(dash + 1), nullptr, 16);
            for (char32_t c = first; c <= last; ++c) characters.push_back(c);
        }
        ++blocks;
        for (const std::u16string& blank : {std::u16string(u" "), std::u16string(u"\u3000")}) {
            std::u16string text = entriesOf(characters, blank);
            const char* spaced = blank == u" " ? ", ASCII blanks" : ", ideographic spaces";
            EXPECT_EQ(detected(utf16(text, ByteOrder::LittleEndian), false), ByteOrder::LittleEndian)
                << name << spaced;
            EXPECT_EQ(detected(utf16(text, ByteOrder::BigEndian), false), ByteOrder::BigEndian)
                << name << spaced;
        }
        EXPECT_EQ(detected(utf8WithNuls(characters), false), std::nullopt) << name << " in UTF-8 with NULs";
    }
    EXPECT_GE(blocks, 300);
}

}  // namespace

// An address book's first line, and entries that only look like one.
TEST(AddressBookDetector, TellsAddressBooksFromEntries) {
    struct Row {
        const char* line;
        std::optional<AddressBook> kind;
    } rows[] = {
        {"\xEF\xBB\xBF"
         "begin:VCard\r\nN:Lopez;Maria\r\n",
         AddressBook::Vcard},
        {"First Name,Last Name,Mobile Phone\n", AddressBook::Csv},
        {"Vorwahl_Tel;Telefonnummer;Name;Vorname\n", AddressBook::Csv},
        {"Name,Phone Tel,Mobile 312 555-0187\n", std::nullopt},
        {"Name,Phone Tel,Mobile -312 555-0187\n", std::nullopt},
        {"Maria Lopez 312 358-9111\n", std::nullopt},
        {"BEGIN:VCARDS\n", std::nullopt},
    };
    for (const Row& row : rows) {
        AddressBookDetector detector;
        detector.passed(row.line);
        EXPECT_EQ(detector.kind(false), row.kind) << row.line;
    }
}
