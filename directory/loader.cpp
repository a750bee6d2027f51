#include "loader.h"

#include "table.h"

LoadResult loadDirectory(DataFileReader& reader) {
    LoadResult result;
    // Whitespace after the 16th entry is no 17th: entryFollows() skips it.
    for (int vectorSize = 0; reader.entryFollows(); ++vectorSize) {
        if (vectorSize == kSlotCount) {
            result.tooMany = true;
            result.extraEntry = reader.nextEntryStart();
            break;
        }
        result.entries.push_back(reader.readEntry(firstName[vectorSize], lastName[vectorSize],
                                                  areaCode[vectorSize], number[vectorSize]));
    }
    return result;
}
