#include "export.h"

#include <cstdint>
#include <istream>
#include <map>

#include "entry_reader.h"
#include "load.h"
#include "load_problems.h"
#include "message_text.h"
#include "phone_number.h"
#include "text_encoding.h"

namespace {

// First and last name as one, as FN and messages show it.
std::string fullName(const std::string& first, const std::string& last) {
    return first.empty() || last.empty() ? first + last : first + " " + last;
}

// An entry's name as export messages show it.
std::string shownName(const std::string& first, const std::string& last) {
    return quoted(fullName(first, last));
}

// The words of the problem that ended the load, and what it leaves out of
// the export.
std::string loadStopMessage(const LoadProblem& problem, const std::vector<Entry>& entries) {
    if (problem.stop == LoadStop::Utf16File || problem.stop == LoadStop::AddressBookFile)
        return problem.message + "; nothing is exported";
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

// A card's text to a sink a piece at a time, each content line folded so
// that no line is longer than 75 bytes: each fold a CR LF and a blank,
// between characters (the text is UTF-8). At most 64 KiB is held back, so
// that a card of long fields is never held whole.
class CardWriter {
public:
    explicit CardWriter(const PieceSink& sink) : sink_(sink) {}

    // More of the content line under way, as it is.
    void add(std::string_view text) {
        for (char c : text) put(c);
    }
    // A text value, with \ , and ; escaped. No field holds a line end.
    void addValue(std::string_view value) {
        for (char c : value) {
            if (c == '\\' || c == ',' || c == ';') put('\\');
            put(c);
        }
    }
    // Ends the content line with its CR LF.
    void endLine() {
        held_ += "\r\n";
        lineBytes_ = 0;
    }
    // Hands on what is held back; false once the sink has failed.
    bool flush() {
        if (!failed_ && !held_.empty()) failed_ = !sink_(held_);
        held_.clear();
        return !failed_;
    }

private:
    static constexpr std::size_t kLimit = 75;
    static constexpr std::size_t kHeld = std::size_t{64} << 10;

    void put(char c) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {  // a character starts
            std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            if (lineBytes_ + length > kLimit) {
                held_ += "\r\n ";
                lineBytes_ = 1;
            }
        }
        held_ += c;
        ++lineBytes_;
        if (held_.size() >= kHeld) flush();
    }

    const PieceSink& sink_;
    std::string held_;
    std::size_t lineBytes_ = 0;  // on the folded line under way
    bool failed_ = false;
};

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
        written += (written.empty() ? "number " : " and number ") + quoted(card.number);
    }
    return {entry.line, Severity::Warning,
            shownName(entry.first, entry.last) + ": " + why + "; the vCard has " + written};
}

// FNV-1a, 64 bits, going on from state over each of pieces in turn.
template <std::size_t N>
std::uint64_t fnv1a(std::uint64_t state, const std::string_view (&pieces)[N], std::size_t from = 0) {
    for (std::size_t k = from; k < N; ++k) {
        for (char c : pieces[k]) {
            state ^= static_cast<unsigned char>(c);
            state *= 0x100000001B3;
        }
    }
    return state;
}

// A UUID made from key, the text of its pieces: 128 bits of FNV-1a (key
// hashed, then hashed again from there) with the version of a UUID of the
// maker's own design, 8, and the variant of RFC 9562.
template <std::size_t N>
std::string uuidFrom(const std::string_view (&key)[N]) {
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

// The TEL property: a number of a known country as a tel: URI
// ("tel:+1-312-358-9111;ext=102"), which every reader dials right; any
// other as text with no area code the entry does not have ("555-0199",
// "(48) 555-0110"). abook takes a TEL only with no parameter at all or
// with a type of home, work or cell (one typed voice alone, or with
// VALUE=text and no type, it drops), so every number is a home number;
// those that are numbers are marked as voice lines too.
void writeCard(CardWriter& writer, const CardFields& fields, int areaCode, const std::string& uid) {
    for (const std::string& line :
         {std::string("BEGIN:VCARD"), std::string("VERSION:4.0"), "UID:urn:uuid:" + uid}) {
        writer.add(line);
        writer.endLine();
    }
    writer.add("N:");
    writer.addValue(fields.last);
    writer.add(";");
    writer.addValue(fields.first);
    writer.add(";;;");
    writer.endLine();
    writer.add("FN:");
    writer.addValue(fields.first);
    if (!fields.first.empty() && !fields.last.empty()) writer.add(" ");
    writer.addValue(fields.last);
    writer.endLine();
    if (!fields.number.empty()) {
        VCardTel tel = vcardTel(areaCode, fields.number);
        bool voice = readEntryNumber(areaCode, fields.number).kind != NumberKind::NotANumber;
        writer.add(std::string("TEL;VALUE=") + (tel.uri ? "uri" : "text") +
                   ";TYPE=" + (voice ? "home,voice" : "home") + ":");
        if (tel.uri) {
            writer.add(tel.value);
        } else {
            writer.addValue(tel.value);
        }
        writer.endLine();
    }
    writer.add("END:VCARD");
    writer.endLine();
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

// Each entry with its card's fields and UID, in turn, until take returns
// false.
template <typename Take>
void eachCard(const std::vector<Entry>& entries, Take take) {
    // How often each card's fields came before, by their hash: the fields
    // themselves are not kept twice.
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> seen;
    for (const Entry& entry : entries) {
        CardFields fields = cardFields(entry);
        // The UID's key: how many cards before it have the same fields,
        // then the fields, a line end between each (no field holds one). The
        // count goes first, so that the hashes of identical entries differ
        // in every byte.
        std::string count, code = std::to_string(entry.areaCode);
        const std::string_view end = "\n";
        std::string_view key[] = {count, end, fields.first, end, fields.last, end, code, end, fields.number};
        constexpr std::size_t kFields = 2;  // where the fields start
        std::uint64_t hash = fnv1a(0xCBF29CE484222325, key, kFields);
        count = std::to_string(seen[{hash, fnv1a(hash, key, kFields)}]++);
        key[0] = count;
        if (!take(entry, fields, uuidFrom(key))) return;
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
    CardWriter writer(sink);
    eachCard(entries, [&](const Entry& entry, const CardFields& fields, const std::string& uid) {
        writeCard(writer, fields, entry.areaCode, uid);
        return writer.flush();
    });
}

void eachVCard(const std::vector<Entry>& entries, const TakeCard& take) {
    eachCard(entries, [&](const Entry& entry, const CardFields& fields, const std::string& uid) {
        return take(entry, uid, [&](const PieceSink& sink) {
            CardWriter writer(sink);
            writeCard(writer, fields, entry.areaCode, uid);
            writer.flush();
        });
    });
}

void writeCsv(const std::vector<Entry>& entries, const PieceSink& sink) {
    if (!sink("First Name,Last Name,Area Code,Number\r\n")) return;
    for (const Entry& entry : entries) {
        CsvCells number = csvCells(entry.areaCode, entry.number);
        if (!sink(csvField(entry.first) + "," + csvField(entry.last) + "," + number.areaCode + "," +
                  csvField(number.number) + "\r\n"))
            return;
    }
}
