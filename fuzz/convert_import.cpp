// telelist-convert's import fuzz target: the input is an address book file,
// read once as vCard and once as CSV. Each import must read it to the end
// (it is in memory), keep at most 16 entries and a bounded number of
// messages, each printable, and report an error whenever it writes nothing
// or leaves something out. The data file made of its entries must then be
// valid UTF-8 without control characters, load whole in the shared reader
// with every field as written, and get no error from telelist-check.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "check_file.h"
#include "fit.h"
#include "import.h"
#include "load_problems.h"
#include "loaded_entries.h"

namespace {

constexpr std::size_t kMessageBound = 250;

std::string checkPath;  // telelist-check's file, under $TMPDIR, else /tmp

const char* formatName(Format format) { return format == Format::VCard ? "vCard" : "CSV"; }

[[noreturn]] void fail(Format format, const std::string& what) {
    std::fprintf(stderr, "convert import (%s): %s\n", formatName(format), what.c_str());
    std::abort();
}

// The text as UTF-8 code points; false when it is not valid UTF-8 (cut
// short, overlong, a surrogate, past U+10FFFF). Written here rather than
// taken from the data layer, whose decoder is among what is tested.
bool decode(std::string_view text, std::vector<char32_t>& points) {
    points.clear();
    for (std::size_t at = 0; at < text.size();) {
        auto byte = static_cast<unsigned char>(text[at]);
        std::size_t length = byte < 0x80                    ? 1
                             : byte >= 0xC2 && byte <= 0xDF ? 2
                             : byte >= 0xE0 && byte <= 0xEF ? 3
                             : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || at + length > text.size()) return false;
        char32_t point = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[at + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = point << 6 | (next & 0x3F);
        }
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kLeast[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
        points.push_back(point);
        at += length;
    }
    return true;
}

// C0 (tab and line ends too), DEL and C1.
bool isControl(char32_t point) { return point < 0x20 || (point >= 0x7F && point <= 0x9F); }

void checkMessages(Format format, const ImportResult& result) {
    if (result.messages.size() > kMessageBound)
        fail(format, std::to_string(result.messages.size()) + " messages");
    bool anError = false;
    std::vector<char32_t> points;
    for (const Message& message : result.messages) {
        anError = anError || message.severity == Severity::Error;
        if (!decode(message.text, points)) fail(format, "a message that is not UTF-8: " + message.text);
        for (char32_t point : points)
            if (isControl(point)) fail(format, "a message with a control character: " + message.text);
    }
    if (anError != result.errors) fail(format, "the errors flag differs from the messages' severities");
    if (result.entries.empty() && !result.errors) fail(format, "nothing written, and no error told");
}

void checkLoad(Format format, const std::vector<LoadedEntry>& entries, const std::string& text) {
    std::istringstream in(text);
    EntryReader reader(in);
    LoadedDirectory directory = loadEntries(reader);
    const LoadResult& loaded = directory.loaded;
    if (loaded.utf16) fail(format, "the data file is taken for UTF-16");
    if (std::optional<LoadProblem> problem = loadProblem(loaded))
        fail(format, "the data file does not load whole: " + problem->message);
    if (loaded.entries.size() != entries.size())
        fail(format, std::to_string(loaded.entries.size()) + " entries loaded of " +
                         std::to_string(entries.size()) + " written");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LoadedEntry& entry = entries[i];
        const LoadedEntry& read = directory.entries[i];
        if (read.first != entry.first || read.last != entry.last || read.areaCode != entry.areaCode ||
            read.number != entry.number)
            fail(format,
                 "entry " + std::to_string(i + 1) + " loads other than written: " + quotedName(entry));
    }
}

void checkChecker(Format format, const std::string& text) {
    std::FILE* file = std::fopen(checkPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
        std::fclose(file) != 0)
        fail(format, "cannot write " + checkPath);
    std::ostringstream out, err;
    if (checkDataFile("telelist-check", checkPath, out, err) != kCheckClean || !err.str().empty())
        fail(format, "telelist-check finds an error in the data file:\n" + out.str() + err.str());
}

void checkImport(Format format, const std::string& input) {
    std::istringstream source(input);
    ImportResult result = importContacts(source, format);
    if (!result.failure.empty()) fail(format, "a read of a string failed: " + result.failure);
    if (result.entries.size() > static_cast<std::size_t>(kSlotCount))
        fail(format, std::to_string(result.entries.size()) + " entries");
    checkMessages(format, result);

    const std::string text = dataFileText(result.entries);
    std::vector<char32_t> points;
    if (!decode(text, points)) fail(format, "the data file is not UTF-8");
    for (char32_t point : points)
        if (isControl(point) && point != '\n') fail(format, "a control character in the data file");
    checkLoad(format, result.entries, text);
    // No data file is written when no entry is.
    if (!result.entries.empty()) checkChecker(format, text);
}

void removeCheckFile() { std::remove(checkPath.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/telelist-convert-fuzz-XXXXXX";
    int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) {
        std::perror("convert import: temporary file");
        std::exit(2);
    }
    close(descriptor);
    checkPath = pattern;
    std::atexit(removeCheckFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkImport(Format::VCard, input);
    checkImport(Format::Csv, input);
    return 0;
}
