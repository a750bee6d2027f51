#include "export.h"

#include <cstdint>
#include <istream>
#include <map>

#include "entry_reader.h"
#include "load.h"
#include "load_problems.h"
#include "message_text.h"
#include "text_encoding.h"

namespace {

// First and last name as one, as FN and messages show it.
std::string fullName(const std::string& first, const std::string& last) {
    return first.empty() || last.empty() ? first + last : first + " " + last;
}

// An entry's name as export messages show it.
std::string shownName(const std::string& first, const std::string& last) {
    return quotedShort(fullName(first, last));
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

// A text value with \ , and ; escaped. No field holds a line end.
std::string vcardEscaped(const std::string& value) {
    std::string result;
    for (char c : value) {
        if (c == '\\' || c == ',' || c == ';') result += '\\';
        result += c;
    }
    return result;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// line with its CR LF, folded so that no line is longer than 75 bytes:
// each fold a CR LF and a blank, between characters (line is UTF-8).
std::string folded(const std::string& line) {
    constexpr std::size_t kLimit = 75;
    std::string result;
    std::size_t at = 0;
    std::size_t room = kLimit;
    while (line.size() - at > room) {
        std::size_t cut = at + room;
        while (isContinuationByte(line[cut])) --cut;
        result.append(line, at, cut - at);
        result += "\r\n ";
        at = cut;
        room = kLimit - 1;
    }
    result.append(line, at, std::string::npos);
    return result + "\r\n";
}

// C0 and C1 controls and DEL: no address book shows them.
bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// bytes as a card holds them: UTF-8 whatever the file holds, each byte
// that is not UTF-8 taken as the Windows-1252 character it stands for, and
// without control characters. Sets notUtf8 and controls when it finds any.
std::string forCard(std::string_view bytes, bool& notUtf8, bool& controls) {
    std::string result;
    while (!bytes.empty()) {
        Utf8Char c = decodeUtf8OrWindows1252(bytes);
        notUtf8 = notUtf8 || !c.valid;
        if (isControl(c.code)) {
            controls = true;
        } else {
            appendUtf8(result, c.code);
        }
        bytes.remove_prefix(c.length);
    }
    return result;
}

struct CardFields {
    bool notUtf8 = false, controls = false;
    std::string first, last, number;
};

CardFields cardFields(const Entry& entry) {
    CardFields card;
    card.first = forCard(entry.first, card.notUtf8, card.controls);
    card.last = forCard(entry.last, card.notUtf8, card.controls);
    card.number = forCard(entry.number, card.notUtf8, card.controls);
    return card;
}

// The warning about an entry whose card differs from what the file holds,
// with what the card holds instead.
Message changedFields(const Entry& entry, const CardFields& card) {
    std::string why = card.notUtf8 && card.controls
                          ? "bytes that are not UTF-8 are read as Windows-1252 and control characters dropped"
                      : card.notUtf8 ? "bytes that are not UTF-8 are read as Windows-1252"
                                     : "control characters are dropped, as no address book shows them";
    std::string written;
    if (card.first != entry.first || card.last != entry.last)
        written = "name " + shownName(card.first, card.last);
    if (card.number != entry.number) {
        written += (written.empty() ? "number " : " and number ") + quotedShort(card.number);
    }
    return {entry.line, Severity::Warning,
            shownName(entry.first, entry.last) + ": " + why + "; the vCard has " + written};
}

// FNV-1a, 64 bits, going on from state.
std::uint64_t fnv1a(std::uint64_t state, std::string_view bytes) {
    for (char c : bytes) {
        state ^= static_cast<unsigned char>(c);
        state *= 0x100000001B3;
    }
    return state;
}

// A UUID made from key: 128 bits of FNV-1a (key hashed, then hashed again
// from there) with the version of a UUID of the maker's own design, 8, and
// the variant of RFC 9562.
std::string uuidFrom(std::string_view key) {
    std::uint64_t high = fnv1a(0xCBF29CE484222325, key);
    std::uint64_t low = fnv1a(high, key);
    unsigned char bytes[16];
    for (int k = 0; k < 8; ++k) {
        bytes[k] = static_cast<unsigned char>(high >> (56 - 8 * k));
        bytes[8 + k] = static_cast<unsigned char>(low >> (56 - 8 * k));
    }
    bytes[6] = (bytes[6] & 0x0F) | 0x80;  // version 8
    bytes[8] = (bytes[8] & 0x3F) | 0x80;  // variant 10
    static const char kHex[] = "0123456789abcdef";
    std::string uuid;
    for (int k = 0; k < 16; ++k) {
        if (k == 4 || k == 6 || k == 8 || k == 10) uuid += '-';
        uuid += {kHex[bytes[k] >> 4], kHex[bytes[k] & 0xF]};
    }
    return uuid;
}

// The TEL property. The file holds no country code, so a global tel: URI
// (tel:+1-...) would add one it does not know, and a local one needs a
// phone-context that address books do not show: the number goes out as
// text, "(AREA) NUMBER", which this program's import reads back as the
// same two fields. abook takes a TEL only with no parameter at all or
// with a type of home, work or cell (one typed voice alone, or with
// VALUE=text and no type, it drops), so every number is a home number;
// those of the North American form are marked as voice lines too.
std::string telProperty(int areaCode, const std::string& number) {
    std::string value = "(" + std::to_string(areaCode) + ") " + number;
    bool usual = areaCode >= 100 && areaCode <= 999 && isNumberForm(number);
    return std::string("TEL;VALUE=text;TYPE=") + (usual ? "home,voice" : "home") + ":" + vcardEscaped(value);
}

std::string card(const CardFields& fields, int areaCode, const std::string& uid) {
    std::string result = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:" + uid + "\r\n";
    result += folded("N:" + vcardEscaped(fields.last) + ";" + vcardEscaped(fields.first) + ";;;");
    result += folded("FN:" + vcardEscaped(fullName(fields.first, fields.last)));
    if (!fields.number.empty()) result += folded(telProperty(areaCode, fields.number));
    return result + "END:VCARD\r\n";
}

// ======================================================================
//  CSV
// ======================================================================

// A cell that a spreadsheet would run as a formula gets a ' in front, which
// makes it text. So does one that starts with 's before such a character:
// an import that takes one ' off such a cell gets every cell back exactly.
bool runsAsFormula(const std::string& cell) {
    std::size_t at = cell.find_first_not_of('\'');
    return at != std::string::npos && std::string_view("=+-@\t\r").find(cell[at]) != std::string_view::npos;
}

std::string csvField(std::string field) {
    if (runsAsFormula(field)) field.insert(0, 1, '\'');
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string result = "\"";
    for (char c : field) {
        if (c == '"') result += '"';
        result += c;
    }
    return result + "\"";
}

}  // namespace

LoadedEntries loadDataFile(std::istream& source) {
    EntryReader reader(source);
    OwnedTable table;
    LoadResult loaded = loadDirectory(reader, table.columns());
    LoadedEntries result;
    result.failure = loaded.readFailure;
    if (!result.failure.empty()) return result;
    for (std::size_t k = 0; k < loaded.entries.size(); ++k) {
        int slot = static_cast<int>(k);
        result.entries.push_back({loaded.entries[k].first.line, std::string(textOf(table.firstName[slot])),
                                  std::string(textOf(table.lastName[slot])), table.areaCode[slot],
                                  std::string(textOf(table.number[slot]))});
    }
    result.problem = loadProblem(loaded);
    return result;
}

std::vector<Entry> loadEntries(std::istream& source, Messages& messages, std::string& failure) {
    LoadedEntries loaded = loadDataFile(source);
    failure = loaded.failure;
    if (std::optional<LoadProblem>& problem = loaded.problem) {
        // An entry cut short loses nothing the file holds.
        Severity severity = problem->stop == LoadStop::CutShort ? Severity::Warning : problem->severity;
        messages.push_back({problem->line, severity, loadStopMessage(*problem, loaded.entries)});
    }
    return std::move(loaded.entries);
}

namespace {

// Each entry's card and its UID, made from the fields it holds in a card,
// in turn.
template <typename Take>
void eachCard(const std::vector<Entry>& entries, Take take) {
    // How often each card's fields came before, by their hash: the fields
    // themselves are not kept twice.
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> seen;
    for (const Entry& entry : entries) {
        CardFields fields = cardFields(entry);
        // No field holds a line end. The count goes first, so that the
        // hashes of identical entries differ in every byte.
        std::string fieldsKey =
            fields.first + "\n" + fields.last + "\n" + std::to_string(entry.areaCode) + "\n" + fields.number;
        std::uint64_t hash = fnv1a(0xCBF29CE484222325, fieldsKey);
        std::string key = std::to_string(seen[{hash, fnv1a(hash, fieldsKey)}]++) + "\n" + fieldsKey;
        std::string uid = uuidFrom(key);
        if (!take(entry, uid, card(fields, entry.areaCode, uid))) return;
    }
}

}  // namespace

void checkVCards(const std::vector<Entry>& entries, Messages& messages) {
    for (const Entry& entry : entries) {
        CardFields fields = cardFields(entry);
        if (fields.notUtf8 || fields.controls) messages.push_back(changedFields(entry, fields));
    }
}

void writeVCards(const std::vector<Entry>& entries, const PieceSink& sink) {
    eachCard(entries, [&](const Entry&, const std::string&, const std::string& text) { return sink(text); });
}

void eachVCard(const std::vector<Entry>& entries, const TakeCard& take) {
    eachCard(entries, [&](const Entry& entry, const std::string& uid, const std::string& text) {
        return take(entry, uid, text);
    });
}

void writeCsv(const std::vector<Entry>& entries, const PieceSink& sink) {
    if (!sink("First Name,Last Name,Area Code,Number\r\n")) return;
    for (const Entry& entry : entries) {
        if (!sink(csvField(entry.first) + "," + csvField(entry.last) + "," + std::to_string(entry.areaCode) +
                  "," + csvField(entry.number) + "\r\n"))
            return;
    }
}
