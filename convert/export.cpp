#include "export.h"

#include <istream>

#include "entry_reader.h"
#include "load.h"
#include "load_problems.h"
#include "message_text.h"

namespace {

std::string text(const apstring& field) { return {field.c_str(), static_cast<std::size_t>(field.length())}; }

// An entry's name as export messages show it.
std::string shownName(const std::string& first, const std::string& last) {
    return quotedShort(first.empty() || last.empty() ? first + last : first + " " + last);
}

// The words of the problem that ended the load, and what it leaves out of
// the export.
std::string loadStopMessage(const LoadProblem& problem, const std::vector<Entry>& entries) {
    if (problem.stop == LoadStop::Utf16File) return problem.message + "; nothing is exported";
    if (problem.stop == LoadStop::SeventeenthEntry)
        return problem.message + "; this entry and those after it are not exported";
    // The others are about the last entry loaded, which has no name when
    // its first field was too long to load.
    const Entry& last = entries.back();
    std::string name = last.first.empty() ? "" : shownName(last.first, last.last) + ": ";
    const char* exported = problem.stop == LoadStop::FieldTooLong ? "; nothing after it is exported"
                           : problem.stop == LoadStop::AreaCodeNotANumber
                               ? "; it is exported without one, and the rest of the file is not"
                               : "; it is exported as far as it goes";
    return name + problem.message + exported;
}

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
    std::vector<Entry> entries;
    for (std::size_t k = 0; k < loaded.entries.size(); ++k) {
        int slot = static_cast<int>(k);
        entries.push_back({loaded.entries[k].first.line, text(table.firstName[slot]),
                           text(table.lastName[slot]), table.areaCode[slot], text(table.number[slot])});
    }
    if (std::optional<LoadProblem> problem = loadProblem(loaded)) {
        // An entry cut short loses nothing the file holds.
        Severity severity = problem->stop == LoadStop::CutShort ? Severity::Warning : problem->severity;
        messages.push_back({problem->line, severity, loadStopMessage(*problem, entries)});
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
