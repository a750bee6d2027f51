// The merge's rules one at a time, where a case folder would need a data
// file for each: which entry a contact updates, when it is one already
// there, and when there is no room.
#include "merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Entry entry(const std::string& first, const std::string& last, int areaCode, const std::string& number) {
    return {0, first, last, areaCode, number};
}

using Kind = MergedEntry::Kind;

std::vector<Kind> kinds(const Merge& merge) {
    std::vector<Kind> found;
    for (const MergedEntry& merged : merge.entries()) found.push_back(merged.kind);
    return found;
}

TEST(Merge, UpdatesTheEntryOfTheSameNamesAndKeepsTheOrder) {
    Merge merge({entry("Hand", "Added", 312, "555-0100"), entry("Ann", "Smith", 312, "555-0199")});
    EXPECT_TRUE(merge.take(entry("Bob", "Jones", 312, "555-0102")));
    EXPECT_TRUE(merge.take(entry("Ann", "Smith", 415, "555-0101")));
    EXPECT_EQ(kinds(merge), (std::vector<Kind>{Kind::Kept, Kind::Updated, Kind::Added}));
    const MergedEntry& updated = merge.entries()[1];
    EXPECT_EQ(updated.entry.areaCode, 415);
    EXPECT_EQ(updated.entry.number, "555-0101");
    EXPECT_EQ(updated.oldAreaCode, 312);
    EXPECT_EQ(updated.oldNumber, "555-0199");
    EXPECT_TRUE(merge.changed());
}

TEST(Merge, NamesCompareByteForByte) {
    Merge merge({entry("Ann", "Smith", 312, "555-0199")});
    EXPECT_TRUE(merge.take(entry("ann", "Smith", 312, "555-0101")));
    EXPECT_TRUE(merge.take(entry("Ann", "Smith ", 312, "555-0101")));
    EXPECT_EQ(kinds(merge), (std::vector<Kind>{Kind::Kept, Kind::Added, Kind::Added}));
}

TEST(Merge, ASecondContactOfTheSameNamesIsAnotherEntryUnlessTheSame) {
    Merge merge({entry("Ann", "Smith", 312, "555-0101")});
    EXPECT_TRUE(merge.take(entry("Ann", "Smith", 312, "555-0101")));  // unchanged
    EXPECT_TRUE(merge.take(entry("Ann", "Smith", 312, "555-0101")));  // the same card twice
    EXPECT_FALSE(merge.changed());
    EXPECT_TRUE(merge.take(entry("Ann", "Smith", 312, "555-0177")));  // another Ann Smith
    EXPECT_EQ(kinds(merge), (std::vector<Kind>{Kind::Kept, Kind::Added}));
}

TEST(Merge, UpdatesWhenFullButAddsNothing) {
    std::vector<Entry> full;
    for (int k = 0; k < 16; ++k) full.push_back(entry("First" + std::to_string(k), "Last", 312, "555-0100"));
    Merge merge(full);
    EXPECT_FALSE(merge.take(entry("New", "Person", 312, "555-0102")));
    EXPECT_FALSE(merge.changed());
    EXPECT_TRUE(merge.take(entry("First15", "Last", 312, "555-0115")));
    EXPECT_EQ(merge.entries().size(), 16u);
    EXPECT_EQ(merge.entries()[15].kind, Kind::Updated);
}

}  // namespace
