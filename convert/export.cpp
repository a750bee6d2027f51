#include "export.h"

#include <istream>

#include "entry_reader.h"
#include "load.h"
#include "load_problems.h"
#include "message_text.h"

namespace {

std::string text(const apstring& field) { return {field.c_str(), static_cast<std::size_t>(field.length())}; }

// ======================================================================
//  vCard 4.0
// ======================================================================

// A text value with \ , ; and line ends escaped.
std::string escaped(const std::string& value) {
    std::string result;
    for (char c : value) {
        if (c == '\\' || c == ',' || c == ';') result += '\\';
        if (c == '\n') {
            result += "\\n";
        } else {
            result += c;
        }
    }
    return result;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// line with its CR LF, folded so that no line is longer than 75 bytes:
// each fold a CR LF and a blank, never inside a UTF-8 sequence.
std::string folded(const std::string& line) {
    constexpr std::size_t kLimit = 75;
    std::string result;
    std::size_t at = 0;
    std::size_t room = kLimit;
    while (line.size() - at > room) {
        std::size_t cut = at + room;
        // Back to the start of a character; a run of stray continuation
        // bytes as long as a line is cut anyway.
        while (cut > at + 1 && isContinuationByte(line[cut])) --cut;
        if (cut == at + 1 && isContinuationByte(line[cut])) cut = at + room;
        result.append(line, at, cut - at);
        result += "\r\n ";
        at = cut;
        room = kLimit - 1;
    }
    result.append(line, at, std::string::npos);
    return result + "\r\n";
}

// The TEL property. The file holds no country code, so a global tel: URI
// (tel:+1-...) would add one it does not know, and a local one needs a
// phone-context that address books do not show; every address book reads
// a text value such as "(312) 358-9111" as the number it is, so the number
// goes out as text. Numbers of the North American form are marked as voice
// lines; any other is carried as it stands, "(AREA) NUMBER" too, which
// this program's import reads back as the same two fields.
std::string telProperty(const Entry& entry) {
    std::string value = "(" + std::to_string(entry.areaCode) + ") " + entry.number;
    bool usual = entry.areaCode >= 100 && entry.areaCode <= 999 && isNumberForm(entry.number);
    return std::string("TEL;VALUE=text") + (usual ? ";TYPE=voice" : "") + ":" + escaped(value);
}

std::string card(const Entry& entry) {
    std::string full =
        entry.first.empty() || entry.last.empty() ? entry.first + entry.last : entry.first + " " + entry.last;
    std::string result = "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    result += folded("N:" + escaped(entry.last) + ";" + escaped(entry.first) + ";;;");
    result += folded("FN:" + escaped(full));
    if (!entry.number.empty()) result += folded(telProperty(entry));
    return result + "END:VCARD\r\n";
}

// ======================================================================
//  CSV
// ======================================================================

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string result = "\"";
    for (char c : field) {
        if (c == '"') result += '"';
        result += c;
    }
    return result + "\"";
}

}  // namespace

std::vector<Entry> loadEntries(std::istream& source, Messages& messages, std::string& failure) {
    EntryReader reader(source);
    OwnedTable table;
    LoadResult loaded = loadDirectory(reader, table.columns());
    if (!loaded.readFailure.empty()) {
        failure = loaded.readFailure;
        return {};
    }
    if (loaded.utf16) {
        messages.push_back({1, Severity::Error, loadProblem(loaded)->message + "; nothing is exported"});
        return {};
    }
    std::vector<Entry> entries;
    for (std::size_t k = 0; k < loaded.entries.size(); ++k) {
        int slot = static_cast<int>(k);
        const EntryRead& read = loaded.entries[k];
        entries.push_back({read.first.line, text(table.firstName[slot]), text(table.lastName[slot]),
                           table.areaCode[slot], text(table.number[slot])});
        const Entry& entry = entries.back();
        if (const TokenRead* tooLong = read.tooLong()) {
            messages.push_back({tooLong->line, Severity::Error,
                                quotedName(entry) + ": a field of more than " + std::to_string(kFieldLimit) +
                                    " bytes stops the load here; the fields after it and the rest of the "
                                    "file are not exported"});
        } else if (read.code.present && !read.codeIsNumber) {
            messages.push_back({read.code.line, Severity::Error,
                                quotedName(entry) + ": area code " + quoted(read.code.text) +
                                    " is not a number and stops the load here; this entry is exported "
                                    "without a number, and the rest of the file is not"});
        } else if (read.cutShort()) {
            messages.push_back({read.first.line, Severity::Warning,
                                quotedName(entry) + ": entry cut short by the end of the file; exported as "
                                                    "far as it goes"});
        }
    }
    if (loaded.tooMany) {
        messages.push_back({loaded.extraEntry.line, Severity::Error,
                            "a 17th entry, but the directory holds " + std::to_string(kSlotCount) +
                                " entries (it refuses to start): this entry and those after it are not "
                                "exported"});
    }
    return entries;
}

std::string vcardText(const std::vector<Entry>& entries) {
    std::string result;
    for (const Entry& entry : entries) result += card(entry);
    return result;
}

std::string csvText(const std::vector<Entry>& entries) {
    std::string result = "First Name,Last Name,Area Code,Number\r\n";
    for (const Entry& entry : entries) {
        result += csvField(entry.first) + "," + csvField(entry.last) + "," + std::to_string(entry.areaCode) +
                  "," + csvField(entry.number) + "\r\n";
    }
    return result;
}
