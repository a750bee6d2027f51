// Names as -i compares them: the folding of the generated table, row by row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "name_folding.h"

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
        {"fisher", "ﬁsher", true},      // a ligature
        {"smith", "ｓｍｉｔｈ", true},  // fullwidth letters
        {"ԁ", "Ԁ", true},               // case pairs in turn
        {"Ab\x00c", "aB\x00C", true},
        {"M\xFCller", "m\xFCller", true},  // Latin-1 bytes compared as they are
    };
    for (const Alike& row : rows) {
        SCOPED_TRACE(row.typed + " / " + row.name);
        FoldedName typed = foldName(row.typed), name = foldName(row.name);
        EXPECT_EQ(typed.text, name.text);
        EXPECT_EQ(typed.accents == name.accents, row.caseOnly);
    }
}

TEST(FoldName, NamesThatDiffer) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Muller", "Mueller"},
        {"Lodz", "Łódź"},  // a stroke is no accent
        {"ab", "a b"},
        {"M\xFCller", "Müller"},
        {"Ab\x00c", "Abc"},
        {"か", "き"},  // unaccented Japanese letters stay apart
        {"1", "¹"},    // only letters and marks fold
    };
    for (const auto& [typed, name] : rows) EXPECT_NE(foldName(typed).text, foldName(name).text) << typed;
}

TEST(FoldName, ExactForms) {
    EXPECT_EQ(foldName("ÅNGSTRÖM").text, "angstrom");
    EXPECT_EQ(foldName("Ǆ").text, "dz");
    EXPECT_EQ(foldName("\xCC\x81").text, "");          // a combining mark on its own
    EXPECT_EQ(foldName("\xE2\x82").text, "\xE2\x82");  // a sequence cut short is kept
    EXPECT_EQ(foldName("Zoë").accents, std::vector<std::size_t>{3});
}

}  // namespace
