#include "startup_messages.h"

#include "file_text.h"
#include "table.h"

namespace {

constexpr char kHint[] = " (run telelist-check)\n";

std::string at(int line) { return std::string(kDataFileName) + ":" + std::to_string(line) + ": "; }

}  // namespace

std::string startupMessage(const DataFile& file, const LoadResult& loaded, const std::string& content) {
    if (!file.readable)
        return std::string(kDataFileName) + ": warning: " + file.failure + "; the directory is empty\n";
    if (loaded.entries.empty()) return "";
    // Only the last entry read can have stopped the load.
    const EntryRead& last = loaded.entries.back();
    if (last.code.present && !last.codeIsNumber) {
        return at(last.code.line) + "warning: area code " + quoted(tokenAt(content, last.code.begin)) +
               " is not a number; this entry has no number and the rest of the file was not loaded" + kHint;
    }
    if (last.cutShort())
        return at(last.first.line) + "warning: entry cut short by the end of the file" + kHint;
    return "";
}

std::string tooManyEntriesMessage(const LoadResult& loaded) {
    return at(loaded.extraEntry.line) + "error: a 17th entry, but the directory holds " +
           std::to_string(kSlotCount) + " entries" + kHint;
}
