// The record of each entry loaded: its places in file order and in the
// sorted table, and the entry the last-name search shows instead, from a
// load and for entries about to be written alike.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "loaded_entries.h"

namespace {

// Each entry as "last:file place:sorted place:file place shown instead or -".
std::vector<std::string> places(const std::vector<LoadedEntry>& entries) {
    std::vector<std::string> result;
    for (const LoadedEntry& entry : entries) {
        result.push_back(entry.last + ":" + std::to_string(entry.filePlace) + ":" +
                         std::to_string(entry.sortedPlace) + ":" +
                         (entry.shownInstead ? std::to_string(*entry.shownInstead) : "-"));
    }
    return result;
}

TEST(LoadedEntries, PlacesAndTheEntryShownInsteadAreTheSameLoadedOrAboutToBeWritten) {
    std::istringstream file(
        "Ann Smith 312 555-0101\nBob Jones 312 555-0102\nCy Smith 312 555-0103\n"
        "Di\n  Smith 312 555-0104\nEd Adams 312 555-0105\n");
    EntryReader reader(file);
    LoadedDirectory directory = loadEntries(reader);
    // The sort is not stable: the Smiths end up in reverse, and the search
    // for Smith meets Di, in the middle, first.
    const std::vector<std::string> expected = {"Smith:0:4:3", "Jones:1:1:-", "Smith:2:3:3", "Smith:3:2:-",
                                               "Adams:4:0:-"};
    EXPECT_EQ(places(directory.entries), expected);
    std::vector<std::string> lasts;
    for (const LoadedEntry& entry : directory.inTableOrder()) lasts.push_back(entry.last + entry.first);
    EXPECT_EQ(lasts, (std::vector<std::string>{"AdamsEd", "JonesBob", "SmithDi", "SmithCy", "SmithAnn"}));
    // At the hidden entry's last name; the one shown by its first line.
    Diagnostic warning = sameLastNameWarning(directory.entries[2], directory.entries[3]);
    EXPECT_EQ(diagnosticLine("telelist.dat", warning),
              "telelist.dat:3:4: warning: the last-name search never shows \"Cy Smith\": for \"Smith\" it "
              "shows \"Di Smith\" (line 4) instead");

    std::vector<LoadedEntry> written = directory.entries;
    for (LoadedEntry& entry : written) entry.sortedPlace = 99, entry.shownInstead.reset();
    placeEntries(written);
    EXPECT_EQ(places(written), expected);
}

}  // namespace
