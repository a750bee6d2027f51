// The import's pieces where a fault would hide from the case folders: the
// text source at its chunk boundaries, the number and text rules row by row,
// and the limits that keep memory bounded.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fit.h"
#include "import.h"
#include "text_source.h"

namespace {

constexpr std::size_t kChunk = 1 << 16;  // the text source's read size

std::vector<std::string> linesOf(const std::string& bytes) {
    std::istringstream stream(bytes);
    TextSource source(stream);
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    int last = -1;
    while (source.readLine(line, 1 << 20, cut, last)) lines.push_back(line);
    return lines;
}

TEST(TextSource, LineEndsAcrossChunkBoundaries) {
    // CR CR LF split after the first CR, and after the second.
    for (std::size_t before : {kChunk - 1, kChunk - 2}) {
        std::string text = std::string(before, 'a') + "\r\r\nb\rc\r\rd\n";
        std::vector<std::string> lines = linesOf(text);
        ASSERT_EQ(lines.size(), 5u) << before;
        EXPECT_EQ(lines[0], std::string(before, 'a'));
        EXPECT_EQ(lines[1], "b");
        EXPECT_EQ(lines[2], "c");
        EXPECT_EQ(lines[3], "");  // CR CR alone is two line ends, CR CR LF one
        EXPECT_EQ(lines[4], "d");
    }
}

TEST(TextSource, Utf16AcrossChunkBoundaries) {
    // A surrogate pair split between two chunks, an unpaired surrogate, and
    // a last byte that is half a unit.
    std::string text = "\xFF\xFE";
    while (text.size() < kChunk - 2) text += std::string("x\0", 2);
    text += "\x34\xD8\x1E\xDD";  // U+1D11E
    text += std::string("\n\0\x00\xDC!\0", 6);
    text += "\n";
    std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string((kChunk - 4) / 2, 'x') + "\xF0\x9D\x84\x9E");
    EXPECT_EQ(lines[1], "\xEF\xBF\xBD!\xEF\xBF\xBD");
}

TEST(TextSource, PeekAndUnread) {
    std::string longLine(3 * kChunk, 'p');
    std::istringstream stream(longLine + "\nq\n");
    TextSource source(stream);
    EXPECT_EQ(source.peekLine(1 << 20).size(), longLine.size());
    EXPECT_EQ(source.peekLine(10), "pppppppppp");
    std::string line;
    bool cut = false;
    int last = -1;
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line.size(), 100u);
    EXPECT_TRUE(cut);
    EXPECT_EQ(last, 'p');
    source.unread("r\n");
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line, "r");
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line, "q");
    EXPECT_FALSE(source.readLine(line, 100, cut, last));
}

TEST(FitNumber, EveryDigitKept) {
    struct Row {
        const char* text;
        int areaCode;
        const char* number;
        bool changed;
    };
    const Row rows[] = {
        {"312 358 9111", 312, "358-9111", false},
        {"(312) 358-9111", 312, "358-9111", false},
        {"312.358.9111", 312, "358-9111", false},
        {"+1 312 358 9111", 312, "358-9111", false},
        {"1-312-358-9111", 312, "358-9111", false},
        {"358-9111", 0, "358-9111", true},
        {"0123456789", 0, "0123456789", true},  // area code starting 0
        {"2121234567", 0, "2121234567", true},  // exchange starting 1
        {"+1 123 456 7890", 0, "+1-123-456-7890", true},
        {"+44 20 7946 0958", 0, "+44-20-7946-0958", true},
        {"+13125550100 ", 312, "555-0100", false},
        {"312 555 0100 1", 0, "312-555-0100-1", true},  // twelve digits
        {"123-4567", 0, "123-4567", true},              // seven, exchange starting 1
        {"(0) 03456-78910", 0, "03456-78910", true},    // the export's form of area code 0
        {"(0312) 555-0100", 0, "(0312)-555-0100", true},
        {"(-5) 555-0100", -5, "555-0100", true},
        {"(-0) 555", 0, "(-0)-555", true},
        {"(99999999999) 5", 0, "(99999999999)-5", true},
        {"(12) 345 678", 0, "(12)-345-678", true},
        {"1-800-FLOWERS", 0, "1-800-FLOWERS", true},
        {"tel:+1-418-656-9254;ext=102", 418, "656-9254x102", false},
        {"1-800-555-0199 ext. 12", 800, "555-0199x12", false},
        {"13866192019", 386, "619-2019", true},  // eleven digits not grouped as North American ones
        {"+44 (0)20 7946 0958", 0, "+44-20-7946-0958", true},
        {"(0) +33685733244", 0, "+33685733244", true},  // the export's form of area code 0
        {"business", 0, "business", true},
    };
    for (const Row& row : rows) {
        FittedNumber fitted = fitNumber(row.text);
        EXPECT_EQ(fitted.areaCode, row.areaCode) << row.text;
        EXPECT_EQ(fitted.number, row.number) << row.text;
        EXPECT_EQ(!fitted.change.empty(), row.changed) << row.text;
    }
}

TEST(CleanText, ShowsAsItReads) {
    struct Row {
        std::string text, cleaned;
        bool controls, notUtf8;
    };
    const Row rows[] = {
        {"Müller", "Müller", false, false},
        {"M\xFCller", "Müller", false, true},
        {"\x80uro", "€uro", false, true},
        {"a\tb c", "a\tb c", false, false},  // field separators stay, for the blank rules
        {"a\x1B[2J\x1B[Hb", "ab", true, false},
        {"a\x1B]52;c;ZWNobw==\x07z", "az", true, false},
        {"a\x1B]0;title\x1B\\z", "az", true, false},
        {"a\x1B"
         "cz",
         "az", true, false},
        {"a\x1B", "a", true, false},
        {"a\xC2\x9B"
         "31mz",
         "az", true, false},  // the C1 control sequence introducer
        {"a\xC2\x85z", "az", true, false},
        {"a\x81z", "az", true, true},  // undefined in Windows-1252: a C1 control
        {std::string("J\0o\0", 4), "Jo", true, false},
        {"\xEF\xBB\xBFZo\x7F", "Zo", true, false},
        {"\xE2\x82", "â‚", false, true},  // a sequence cut short
        {"a\x1B\xC3\xA9", "aé", true, false},
    };
    for (const Row& row : rows) {
        Cleaning cleaning;
        EXPECT_EQ(cleanText(row.text, cleaning), row.cleaned) << row.text;
        EXPECT_EQ(cleaning.controls, row.controls) << row.text;
        EXPECT_EQ(cleaning.notUtf8, row.notUtf8) << row.text;
    }
}

ImportResult imported(const std::string& bytes, Format format) {
    std::istringstream stream(bytes);
    return importContacts(stream, format);
}

std::string allMessages(const ImportResult& result) {
    std::string text;
    for (const Message& message : result.messages)
        text += std::to_string(message.line) + ": " + message.text + "\n";
    return text;
}

TEST(ImportLimits, LongValuesSkippedOrRefused) {
    std::string photo(10 << 20, 'A');
    std::string card = "BEGIN:VCARD\r\nN:Smith;Ann\r\nPHOTO;ENCODING=b:" + photo + "\r\n " + photo +
                       "\r\nTEL:312 555 0100\r\nEND:VCARD\r\n" +
                       "BEGIN:VCARD\r\nN:" + std::string(300 << 10, 'n') +
                       ";Bob\r\nTEL:312 555 0101\r\nEND:VCARD\r\n" + "BEGIN:VCARD\r\n" +
                       std::string(300 << 10, 'h') + "\r\nN:Lee;Cy\r\nTEL:312 555 0102\r\nEND:VCARD\r\n";
    ImportResult result = imported(card, Format::VCard);
    ASSERT_EQ(result.entries.size(), 2u) << allMessages(result);
    EXPECT_EQ(result.entries[0].last, "Smith");
    EXPECT_EQ(result.entries[1].last, "Lee");
    ASSERT_EQ(result.messages.size(), 1u) << allMessages(result);
    EXPECT_NE(result.messages[0].text.find("its N is longer than 262144 bytes"), std::string::npos);
    EXPECT_LT(result.messages[0].text.size(), 200u);
}

TEST(ImportLimits, QuoteNeverClosedWithinItsLimit) {
    std::string csv = "Name,Phone\nAnn Smith,\"312 555 0100\n";
    for (int k = 0; k < 60000; ++k) csv += "Bob Jones,312 555 0101\n";  // more than 1 MiB
    ImportResult result = imported(csv, Format::Csv);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_NE(result.messages[0].text.find("never closed within 1 MiB"), std::string::npos)
        << result.messages[0].text;
    EXPECT_EQ(result.entries.size(), 16u);
    EXPECT_EQ(result.entries[0].line, 3);
}

TEST(ImportLimits, MessagesCounted) {
    std::string cards;
    for (int k = 0; k < 1000; ++k) cards += "BEGIN:VCARD\nTEL:312 555 0100\nEND:VCARD\n";
    ImportResult result = imported(cards, Format::VCard);
    EXPECT_TRUE(result.entries.empty());
    EXPECT_TRUE(result.errors);
    ASSERT_EQ(result.messages.size(), 201u);
    EXPECT_EQ(result.messages.back().text,
              "800 more messages from this line on are not shown (800 errors, 0 warnings)");
    EXPECT_EQ(result.messages.back().line, 601);
}

}  // namespace
