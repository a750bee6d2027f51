// What telelist-check finds in a data file, in three passes over what the
// load met: the file's layout, the fields of each entry, and the entries
// the last-name search cannot reach.
#include "findings.h"

#include <string_view>
#include <utility>

#include "message_text.h"
#include "sorted_table.h"

// ======================================================================
//  Layout: one entry of four fields a line
// ======================================================================

namespace {

std::string fieldCountMessage(int count) {
    std::string message = "line holds " + std::to_string(count) + (count == 1 ? " field" : " fields") +
                          ", not the 4 of one entry (first name, last name, area code, number): ";
    if (count % 4 == 0)
        return message + std::to_string(count / 4) + " entries on one line, where one a line is the custom";
    if (count > 4) return message + "a blank inside a name or number is the usual cause";
    return message + "a field is missing, or the entry goes on on the next line";
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
}

// ======================================================================
//  Entries: the fields of each entry, from where the reader met them
// ======================================================================

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "358-9111": three digits, a hyphen, four digits.
bool isNumberForm(std::string_view phone) {
    if (phone.size() != 8 || phone[3] != '-') return false;
    for (std::size_t k = 0; k < phone.size(); ++k)
        if (k != 3 && !isDigit(phone[k])) return false;
    return true;
}

void warn(Findings& findings, const TokenRead& token, std::string message) {
    findings.push_back({token.line, token.column, Severity::Warning, std::move(message)});
}

void checkControlBytes(const TokenRead& token, const char* field, Findings& findings) {
    const std::string& text = token.text;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (!isControlByte(text[k])) continue;
        std::string what = text[k] == '\0' ? "a NUL byte" : "a control character";
        findings.push_back({token.line, token.column + static_cast<int>(k), Severity::Warning,
                            std::string(field) + " " + quoted(text) + " holds " + what});
        return;
    }
}

std::string entries(int count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

void checkCodeNotANumber(const TokenRead& code, int lost, Findings& findings) {
    const std::string& token = code.text;
    std::size_t digitsAt = !token.empty() && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    bool digits = digitsAt < token.size() && isDigit(token[digitsAt]);
    std::string message = "area code " + quoted(token) + (digits ? " is too large" : " is not a number");
    if (code.line == 1 && !digits) message += " (line 1 may be a header line, which the file cannot have)";
    message += "; the directory stops loading here: this entry gets no number";
    if (lost == 1) message += ", and the entry on the line after it is not loaded";
    if (lost > 1) message += ", and the " + entries(lost) + " on the lines after it are not loaded";
    findings.push_back({code.line, code.column, Severity::Error, message});
}

void checkCodeForm(const EntryRead& entry, Findings& findings) {
    const std::string& written = entry.code.text;
    bool moreAfterDigits = entry.phone.present && entry.phone.begin == entry.code.end;
    if (moreAfterDigits) {
        warn(findings, entry.code,
             "area code " + quoted(written + entry.phone.text) + " has more after its digits: the " +
                 "directory reads " + written + " and takes " + quoted(entry.phone.text) + " as the number");
    }
    std::string listed = std::to_string(std::stoi(written));
    if (listed.size() == 3 && listed == written) return;
    warn(findings, entry.code,
         "area code " + quoted(written) +
             (listed == written ? " is not three digits"
                                : " is listed as " + listed + ", not as three digits"));
}

void checkNumberForm(const EntryRead& entry, Findings& findings) {
    const std::string& phone = entry.phone.text;
    bool tailOfCode = entry.phone.begin == entry.code.end;  // told with the area code
    if (isNumberForm(phone) || tailOfCode) return;
    warn(findings, entry.phone,
         "number " + quoted(phone) + " is not of the form 358-9111 (three digits, a hyphen, four digits)");
}

void checkCutShort(const EntryRead& entry, Findings& findings) {
    const char* missing = !entry.last.present   ? "last name, area code and number are"
                          : !entry.code.present ? "area code and number are"
                                                : "number is";
    findings.push_back({entry.first.line, entry.first.column, Severity::Error,
                        "entry cut short by the end of the file: its " + std::string(missing) +
                            " missing; the directory loads what is there"});
}

void checkTooLong(const TokenRead& token, Findings& findings) {
    findings.push_back({token.line, token.column, Severity::Error,
                        "a field of more than " + std::to_string(kFieldLimit) +
                            " bytes, far beyond any name or number; the directory stops loading here: this "
                            "entry keeps only the fields before it, and the rest of the file is not read"});
}

void checkEntry(const EntryRead& entry, int linesAfterCode, Findings& findings) {
    if (!entry.first.tooLong) checkControlBytes(entry.first, "first name", findings);
    if (entry.last.present && !entry.last.tooLong) checkControlBytes(entry.last, "last name", findings);
    if (entry.phone.present && !entry.phone.tooLong) checkControlBytes(entry.phone, "number", findings);
    if (const TokenRead* tooLong = entry.tooLong()) {
        checkTooLong(*tooLong, findings);
        return;
    }
    if (entry.code.present && !entry.codeIsNumber) {
        checkCodeNotANumber(entry.code, linesAfterCode, findings);
        return;
    }
    if (entry.cutShort()) checkCutShort(entry, findings);
    if (entry.code.present) checkCodeForm(entry, findings);
    if (entry.phone.present) checkNumberForm(entry, findings);
}

}  // namespace

void checkEntries(const LoadResult& loaded, const FileLayout& layout, Findings& findings) {
    for (const EntryRead& entry : loaded.entries) checkEntry(entry, layout.textLinesAfter(), findings);
    if (loaded.tooMany) {
        findings.push_back({loaded.extraEntry.line, loaded.extraEntry.column, Severity::Error,
                            "a 17th entry, but the directory holds " + entries(kSlotCount) +
                                ": it refuses to start (exit status 1)"});
    }
}

// ======================================================================
//  Same last names: entries the last-name search cannot reach, found
//  with the directory's own sort and binary search
// ======================================================================

namespace {

std::string_view view(const apstring& text) {
    return {text.c_str(), static_cast<std::size_t>(text.length())};
}

std::string entryName(const DirectoryTable& table, int slot) {
    return quoted(std::string(view(table.firstName[slot])) + " " + std::string(view(table.lastName[slot])));
}

}  // namespace

void checkSameLastNames(const LoadResult& loaded, const DirectoryTable& table, Findings& findings) {
    for (const UnreachableEntry& entry : unreachableEntries(table)) {
        const EntryRead& hidden = loaded.entries[static_cast<std::size_t>(entry.place)];
        const EntryRead& reached = loaded.entries[static_cast<std::size_t>(entry.shownPlace)];
        findings.push_back({hidden.last.line, hidden.last.column, Severity::Warning,
                            "the last-name search never shows " + entryName(table, entry.slot) + ": for " +
                                quoted(view(table.lastName[entry.slot])) + " it shows " +
                                entryName(table, entry.shownSlot) + " (line " +
                                std::to_string(reached.first.line) + ") instead"});
    }
}
