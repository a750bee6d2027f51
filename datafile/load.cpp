#include "load.h"

LoadResult loadDirectory(EntryReader& reader, const DirectoryTable& table) {
    LoadResult result;
    // Whitespace after the 16th entry is no 17th: entryFollows() skips it.
    for (int vectorSize = 0; reader.entryFollows(); ++vectorSize) {
        if (vectorSize == kSlotCount) {
            result.tooMany = true;
            result.extraEntry = reader.nextEntryStart();
            break;
        }
        result.entries.push_back(reader.readEntry(table.firstName[vectorSize], table.lastName[vectorSize],
                                                  table.areaCode[vectorSize], table.number[vectorSize]));
    }
    std::optional<ByteOrder> utf16 = reader.readFailed() ? std::nullopt : reader.utf16Order();
    std::optional<AddressBook> book = reader.readFailed() ? std::nullopt : reader.addressBook();
    if (reader.readFailed() || utf16 || book) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            table.firstName[slot] = "";
            table.lastName[slot] = "";
            table.areaCode[slot] = 0;
            table.number[slot] = "";
        }
        result = LoadResult();
        if (reader.readFailed()) result.readFailure = reader.failure();
        result.utf16 = utf16;
        result.addressBook = book;
    }
    return result;
}
