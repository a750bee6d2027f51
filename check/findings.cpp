// What telelist-check finds in a data file, in three passes over what the
// load met: the file's layout, the fields of each entry, and the entries
// the last-name search cannot reach.
#include "findings.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "message_text.h"
#include "phone_number.h"
#include "sorted_table.h"

// ======================================================================
//  Layout: one entry of four fields a line
// ======================================================================

namespace {

// A line's reading in Windows-1252 is shown whole where it is short.
constexpr std::size_t kShownLine = 200;

std::string fieldCountMessage(long long count) {
    std::string message = "line holds " + std::to_string(count) + (count == 1 ? " field" : " fields") +
                          ", not the 4 of one entry (first name, last name, area code, number): ";
    if (count % 4 == 0)
        return message + std::to_string(count / 4) + " entries on one line, where one a line is the custom";
    if (count > 4) return message + "a blank inside a name or number is the usual cause";
    return message + "a field is missing, or the entry goes on on the next line";
}

std::string nonUtf8Message(const NonUtf8Line& line) {
    std::string bytes = escaped(line.bytes);
    if (line.count > line.bytes.size())
        bytes += " and " + std::to_string(line.count - line.bytes.size()) + " more";
    std::string message = (line.count == 1 ? "byte " : "bytes ") + bytes + " on this line " +
                          (line.count == 1 ? "is" : "are") + " not UTF-8";
    if (!line.windows1252) {
        return message +
               (line.count == 1 ? ": a name holding it shows wrongly" : ": names holding them show wrongly") +
               "; save the file as UTF-8";
    }
    message += ": the file is probably Latin-1 / Windows-1252";
    if (!line.reading.empty()) message += ", in which this line reads " + quoted(line.reading, kShownLine);
    return message + "; save it as UTF-8";
}

}  // namespace

void checkLayout(const FileLayout& layout, Findings& findings) {
    if (layout.startsWithByteOrderMark()) {
        findings.push_back({1, 1, Severity::Warning,
                            "a UTF-8 byte-order mark starts the file: the directory takes it as part of the "
                            "first name, which then cannot be found"});
    }
    for (const LineFields& odd : layout.oddLines())
        findings.push_back({odd.line, 1, Severity::Warning, fieldCountMessage(odd.fields)});
    for (const NonUtf8Line& line : layout.nonUtf8Lines())
        findings.push_back({line.line, line.column, Severity::Warning, nonUtf8Message(line)});
}

// ======================================================================
//  Entries: the fields of each entry, from where the reader met them
// ======================================================================

namespace {

void warn(Findings& findings, const TokenRead& token, std::string message) {
    findings.push_back({token.line, token.column, Severity::Warning, std::move(message)});
}

// A control byte (below 32, or 127) that is not a field separator.
bool isControlByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 || byte == 0x7F) && !isFieldSpace(c);
}

// The fields of one loaded entry: where the reader met them, and what the
// table holds.
struct LoadedEntry {
    const EntryRead& read;
    std::string_view first, last, phone;
};

void checkControlBytes(const TokenRead& token, std::string_view text, const char* field, Findings& findings) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        // A C1 control (U+0080 to U+009F) is two bytes in UTF-8: C2 80 to C2 9F.
        bool c1 = text[k] == '\xC2' && k + 1 < text.size() &&
                  static_cast<unsigned char>(text[k + 1]) >= 0x80 &&
                  static_cast<unsigned char>(text[k + 1]) <= 0x9F;
        if (!isControlByte(text[k]) && !c1) continue;
        std::string what = text[k] == '\0' ? "a NUL byte" : "a control character";
        findings.push_back({token.line, token.column + static_cast<long long>(k), Severity::Warning,
                            std::string(field) + " " + quoted(text) + " holds " + what});
        return;
    }
}

std::string entries(long long count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

void checkCodeForm(const LoadedEntry& loaded, Findings& findings) {
    const EntryRead& entry = loaded.read;
    const std::string& written = entry.code.text;
    bool moreAfterDigits = entry.phone.present && entry.phone.begin == entry.code.end;
    if (moreAfterDigits) {
        // As much of the two as the message shows.
        std::string whole = written.substr(0, kShownName) + std::string(loaded.phone.substr(0, kShownName));
        warn(findings, entry.code,
             "area code " + quoted(whole) + " has more after its digits: the directory reads " +
                 escapedShort(written) + " and takes " + quoted(loaded.phone) + " as the number");
    }
    std::string listed = std::to_string(std::stoi(written));
    if (listed.size() == 3 && listed == written) return;
    warn(findings, entry.code,
         "area code " + quoted(written) +
             (listed == written ? " is not three digits"
                                : " is listed as " + listed + ", not as three digits"));
}

void checkNumberForm(const LoadedEntry& loaded, Findings& findings) {
    const EntryRead& entry = loaded.read;
    std::string_view phone = loaded.phone;
    bool tailOfCode = entry.phone.begin == entry.code.end;  // told with the area code
    if (isUsualToken(phone) || tailOfCode) return;
    if (readPhoneNumber(phone).kind == NumberKind::NotANumber) {
        warn(findings, entry.phone,
             "number " + quoted(phone) + " is not a phone number: no tool can dial it or find it by number");
        return;
    }
    warn(findings, entry.phone,
         "number " + quoted(phone) + " is not of the form 358-9111 (three digits, a hyphen, four digits)");
}

void checkEntry(const LoadedEntry& loaded, Findings& findings) {
    const EntryRead& entry = loaded.read;
    if (!entry.first.tooLong) checkControlBytes(entry.first, loaded.first, "first name", findings);
    if (entry.last.present && !entry.last.tooLong)
        checkControlBytes(entry.last, loaded.last, "last name", findings);
    if (entry.phone.present && !entry.phone.tooLong)
        checkControlBytes(entry.phone, loaded.phone, "number", findings);
    // What ended the load is found once, for the whole file.
    if (entry.tooLong() != nullptr || (entry.code.present && !entry.codeIsNumber)) return;
    if (entry.code.present) checkCodeForm(loaded, findings);
    if (entry.phone.present) checkNumberForm(loaded, findings);
}

}  // namespace

void checkEntries(const LoadResult& loaded, const DirectoryTable& table, const FileLayout& layout,
                  Findings& findings) {
    for (std::size_t k = 0; k < loaded.entries.size(); ++k) {
        int slot = static_cast<int>(k);
        checkEntry({loaded.entries[k], textOf(table.firstName[slot]), textOf(table.lastName[slot]),
                    textOf(table.number[slot])},
                   findings);
    }
    std::optional<LoadProblem> problem = loadProblem(loaded);
    if (!problem) return;
    // Beyond what the directory can tell: how many entries an area code
    // that is not a number keeps from loading.
    const EntryRead* last = loaded.entries.empty() ? nullptr : &loaded.entries.back();
    long long lost = layout.textLinesAfter();
    if (last != nullptr && last->code.present && !last->codeIsNumber && !last->code.tooLong && lost > 0) {
        problem->message += lost == 1
                                ? ", and the entry on the line after it is not loaded"
                                : ", and the " + entries(lost) + " on the lines after it are not loaded";
    }
    findings.push_back({problem->line, problem->column, problem->severity, problem->message});
}

// ======================================================================
//  Same last names: entries the last-name search cannot reach, found
//  with the directory's own sort and binary search
// ======================================================================

namespace {

// An entry as a finding names it: a name's worth, however long its fields.
std::string entryName(const DirectoryTable& table, int slot) {
    std::string_view first = textOf(table.firstName[slot]);
    std::string name(first.substr(0, std::min<std::size_t>(first.size(), 64)));
    return quoted(name + " " + std::string(textOf(table.lastName[slot]).substr(0, 64)));
}

}  // namespace

void checkSameLastNames(const LoadResult& loaded, const DirectoryTable& table, Findings& findings) {
    for (const UnreachableEntry& entry : unreachableEntries(table)) {
        const EntryRead& hidden = loaded.entries[static_cast<std::size_t>(entry.place)];
        const EntryRead& reached = loaded.entries[static_cast<std::size_t>(entry.shownPlace)];
        findings.push_back({hidden.last.line, hidden.last.column, Severity::Warning,
                            "the last-name search never shows " + entryName(table, entry.slot) + ": for " +
                                quoted(textOf(table.lastName[entry.slot])) + " it shows " +
                                entryName(table, entry.shownSlot) + " (line " +
                                std::to_string(reached.first.line) + ") instead"});
    }
}
