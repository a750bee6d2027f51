// Which files the UTF-16 detector takes for UTF-16, row by row: text in
// several scripts against UTF-8 holding NUL bytes, and the edges of each
// of its limits. Every row is shown whole and a byte at a time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

std::u16string repeated(const std::u16string& text, int times) {
    std::u16string result;
    for (int k = 0; k < times; ++k) result += text;
    return result;
}

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
    };
    ASSERT_EQ(greek.size(), 34u);
    for (const Row& row : rows) {
        EXPECT_EQ(detected(row.bytes, false), row.order) << row.what;
        EXPECT_EQ(detected(row.bytes, true), row.order) << row.what << ", a byte at a time";
    }
}

}  // namespace
