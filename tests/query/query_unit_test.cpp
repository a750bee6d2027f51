// Names as -i compares them: the folding of the generated table, row by row;
// the numbers of the caller-ID lookup; fields as TSV and JSON write them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "name_folding.h"
#include "output.h"
#include "phone_number.h"

namespace {

struct Alike {
    std::string typed, name;
    bool caseOnly;  // they differ in letter case only, not in accents
};

TEST(FoldName, NamesAlikeInAnyScript) {
    const std::vector<Alike> rows = {
        {"muller", "Müller", false},
        {"MÜLLER", "müller", true},
        {"Mu\xCC\x88ller", "Müller", true},  // a decomposed ü is the same letter
        {"SWIATEK", "Świątek", false},
        {"ŚWIĄTEK", "świątek", true},
        {"ΑΘΗΝΑ", "Αθήνα", false},
        {"ΟΔΥΣΣΕΥΣ", "Οδυσσευς", true},  // final sigma
        {"ᾼ", "ᾳ", true},                // with the iota subscript, whichever way written
        {"ЁЛКИН", "ёлкин", true},
        {"елкин", "Ёлкин", false},
        {"STRASSE", "Straße", true},
        {"fisher", "ﬁsher", true},                                 // a ligature
        {"smith", "ｓｍｉｔｈ", true},                             // fullwidth letters
        {"ԁ", "Ԁ", true},                                          // case pairs in turn
        {std::string("Ab\0c", 4), std::string("aB\0C", 4), true},  // a NUL byte inside
        {"M\xFCller", "m\xFCller", true},                          // Latin-1 bytes compared as they are
    };
    for (const Alike& row : rows) {
        SCOPED_TRACE(row.typed + " / " + row.name);
        FoldedName typed = foldName(row.typed), name = foldName(row.name);
        EXPECT_EQ(typed.text, name.text);
        EXPECT_EQ(typed.accents == name.accents, row.caseOnly);
        EXPECT_TRUE(foldsTo(row.name, typed.text));
    }
}

TEST(FoldName, NamesThatDiffer) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Muller", "Mueller"},
        {"Lodz", "Łódź"},  // a stroke is no accent
        {"ab", "a b"},
        {"M\xFCller", "Müller"},
        {std::string("Ab\0c", 4), "Abc"},
        {"か", "き"},  // unaccented Japanese letters stay apart
        {"1", "¹"},    // only letters and marks fold
    };
    for (const auto& [typed, name] : rows) {
        EXPECT_NE(foldName(typed).text, foldName(name).text) << typed;
        EXPECT_FALSE(foldsTo(name, foldName(typed).text)) << typed;
    }
}

TEST(FoldName, ExactForms) {
    EXPECT_EQ(foldName("ÅNGSTRÖM").text, "angstrom");
    EXPECT_EQ(foldName("Ǆ").text, "dz");
    EXPECT_EQ(foldName("\xCC\x81").text, "");          // a combining mark on its own
    EXPECT_EQ(foldName("\xE2\x82").text, "\xE2\x82");  // a sequence cut short is kept
    EXPECT_EQ(foldName("Zoë").accents, std::vector<std::size_t>{3});
}

struct NumberRow {
    std::string typed;
    int areaCode;
    std::string number;
    MatchStrength strength;
};

// The caller-ID lookup on the phone-number unit, as --number uses it.
TEST(Numbers, FormsMatchAreaCodeAndNumber) {
    using S = MatchStrength;
    const std::vector<NumberRow> rows = {
        {"358-9111", 312, "358-9111", S::Weaker},
        {"3589111", 706, "358-9111", S::Weaker},
        {"312 358-9111", 312, "358-9111", S::Exact},
        {"(312) 358-9111", 706, "358-9111", S::None},
        {"312.358.9111", 312, "3589111", S::Exact},
        {"+1 312 358 9111", 312, "358-9111", S::SameNumber},
        {"1-312-358-9111", 312, "358-9111", S::Exact},
        {"tel:+1-312-358-9111", 312, "358-9111", S::SameNumber},
        {"TEL:+13123589111", 0, "+1-312-358-9111", S::Exact},
        {"312 358-9111", 0, "312-358-9111", S::Exact},
        {"+44 20 7946 0958", 0, "+44-20-7946-0958", S::Exact},
        {"+44 20 7946 0958", 44, "20-7946-0958", S::SameNumber},
        {"+44 20 7946 0958", 0, "020-7946-0958", S::Weaker},  // a trunk 0, no country
        {"358-9111", 0, "312-358-9111", S::Weaker},
        {"070 358 9111", 70, "358-9111", S::Weaker},
        {"+1 418 656 9254", 418, "656-9254x102", S::SameNumber},
        {"+1 418 656 9254", 0, "+1-418-656-9254;ext=102", S::SameNumber},
        {"418 656 9254 ext. 103", 418, "656-9254x102", S::None},
    };
    for (const NumberRow& row : rows) {
        PhoneNumber typed = readPhoneNumber(row.typed);
        ASSERT_NE(typed.kind, NumberKind::NotANumber) << row.typed;
        EXPECT_EQ(strengthName(compareForCallerId(typed, readEntryNumber(row.areaCode, row.number)).strength),
                  std::string(strengthName(row.strength)))
            << row.typed << " against (" << row.areaCode << ") " << row.number;
    }
}

TEST(Numbers, NotANumber) {
    for (const char* text : {"", "tel:", "abc", "555-CALL", "312+358", "--", "358 9111 xyz", "business 1"})
        EXPECT_EQ(readPhoneNumber(text).kind, NumberKind::NotANumber) << text;
}

TEST(Numbers, ShownInMessages) {
    EXPECT_EQ(displayNumber(readPhoneNumber("+1 312 358 9111")), "(312) 358-9111");
    EXPECT_EQ(displayNumber(readPhoneNumber("3589111")), "358-9111");
    EXPECT_EQ(displayNumber(readPhoneNumber("+44 20 7946 0958")), "+44-20-7946-0958");
    EXPECT_EQ(displayNumber(readEntryNumber(0, "+44-20-7946-0958")), "+44-20-7946-0958");  // no (0)
}

// The data file's fields hold no tab or line end, but a field of TSV never
// breaks its line whatever it holds, nor acts on a terminal.
TEST(Output, TsvFields) {
    EXPECT_EQ(tsvField("a\\b\tc\nd\re"), "a\\\\b\\tc\\nd\\re");
    EXPECT_EQ(tsvField(std::string("\0\x1B\xFC\x7F", 4)), "\\x00\\x1B\\xFC\\x7F");
    EXPECT_EQ(tsvField("\\x41 \xC2\x9B \xE2\x80\xA8 \xE2\x80\xAE Zoë"),
              "\\\\x41 \\xC2\\x9B \\xE2\\x80\\xA8 \\xE2\\x80\\xAE Zoë");
}

TEST(Output, JsonStrings) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Zoë 李", "\"Zoë 李\""},
        {"say \"hi\\\"", "\"say \\\"hi\\\\\\\"\""},
        {std::string("a\0b\x1B\x7F", 5), "\"a\\u0000b\\u001b\\u007f\""},
        {"\xC2\x9B \xE2\x80\xA8 \xE2\x80\xA9", "\"\\u009b \\u2028 \\u2029\""},  // C1, line and paragraph ends
        {"M\xFCller", "\"M\\u00fcller\""},
        // Bidirectional controls, and characters that show as nothing
        {"\xE2\x80\xAE \xE2\x81\xA6 \xE2\x80\x8F \xD8\x9C \xE2\x80\x8B",
         "\"\\u202e \\u2066 \\u200f \\u061c \\u200b\""},
        {"\xF3\xA0\x80\x81", "\"\\udb40\\udc01\""},  // U+E0001, above U+FFFF
        {"\xE2\x82x \xED\xA0\x80 \xC0\xAF", "\"\\u00e2\\u0082x \\u00ed\\u00a0\\u0080 \\u00c0\\u00af\""},
    };
    for (const auto& [text, json] : rows) EXPECT_EQ(jsonString(text), json) << text;
}

}  // namespace
