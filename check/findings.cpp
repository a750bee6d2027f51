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

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The last line the load read from: where it stopped, or its last token.
int lastLineRead(const LoadResult& loaded) {
    int line = 0;
    for (const EntryRead& entry : loaded.entries) {
        for (const TokenRead* token : {&entry.first, &entry.last, &entry.code, &entry.phone})
            if (token->present && token->line > line) line = token->line;
    }
    return line;
}

// How many fields each line holds, for lines 1 to lastLine (index 0 unused).
std::vector<int> fieldsPerLine(const std::string& content, int lastLine) {
    std::vector<int> fields(static_cast<std::size_t>(lastLine) + 1, 0);
    int line = 1;
    bool inField = false;
    for (std::size_t at = 0; at < content.size() && line <= lastLine; ++at) {
        bool space = isFieldSpace(content[at]);
        if (!space && !inField) ++fields[static_cast<std::size_t>(line)];
        inField = !space;
        if (content[at] == '\n') ++line;
    }
    return fields;
}

std::string fieldCountMessage(int count) {
    std::string message = "line holds " + std::to_string(count) + (count == 1 ? " field" : " fields") +
                          ", not the 4 of one entry (first name, last name, area code, number): ";
    if (count % 4 == 0)
        return message + std::to_string(count / 4) + " entries on one line, where one a line is the custom";
    if (count > 4) return message + "a blank inside a name or number is the usual cause";
    return message + "a field is missing, or the entry goes on on the next line";
}

}  // namespace

void checkLayout(const LoadResult& loaded, const std::string& content, Findings& findings) {
    if (content.compare(0, 3, kByteOrderMark) == 0) {
        findings.push_back({1, 1, Severity::Warning,
                            "a UTF-8 byte-order mark starts the file: the directory takes it as part of the "
                            "first name, which then cannot be found"});
    }
    std::vector<int> fields = fieldsPerLine(content, lastLineRead(loaded));
    for (std::size_t line = 1; line < fields.size(); ++line) {
        int count = fields[line];
        if (count != 0 && count != 4)
            findings.push_back({static_cast<int>(line), 1, Severity::Warning, fieldCountMessage(count)});
    }
}

// ======================================================================
//  Entries: the fields of each entry, from where the reader met them
// ======================================================================

namespace {

std::string_view consumed(const std::string& content, const TokenRead& token) {
    return std::string_view(content).substr(token.begin, token.end - token.begin);
}

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

void checkControlBytes(const std::string& content, const TokenRead& token, const char* field,
                       Findings& findings) {
    std::string_view text = consumed(content, token);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (!isControlByte(text[k])) continue;
        std::string what = text[k] == '\0' ? "a NUL byte" : "a control character";
        findings.push_back({token.line, token.column + static_cast<int>(k), Severity::Warning,
                            std::string(field) + " " + quoted(text) + " holds " + what});
        return;
    }
}

// Lines after line that hold anything: the entries, one a line, that a
// load stopped at line does not reach.
int linesWithTextAfter(const std::string& content, int line) {
    int current = 1;
    int count = 0;
    bool counted = false;
    for (char c : content) {
        if (c == '\n') {
            ++current;
            counted = false;
        } else if (current > line && !counted && !isFieldSpace(c)) {
            ++count;
            counted = true;
        }
    }
    return count;
}

std::string entries(int count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

void checkCodeNotANumber(const std::string& content, const TokenRead& code, Findings& findings) {
    std::string_view token = tokenAt(content, code.begin);
    std::size_t digitsAt = !token.empty() && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    bool digits = digitsAt < token.size() && isDigit(token[digitsAt]);
    std::string message = "area code " + quoted(token) + (digits ? " is too large" : " is not a number");
    if (code.line == 1 && !digits) message += " (line 1 may be a header line, which the file cannot have)";
    message += "; the directory stops loading here: this entry gets no number";
    int lost = linesWithTextAfter(content, code.line);
    if (lost == 1) message += ", and the entry on the line after it is not loaded";
    if (lost > 1) message += ", and the " + entries(lost) + " on the lines after it are not loaded";
    findings.push_back({code.line, code.column, Severity::Error, message});
}

void checkCodeForm(const std::string& content, const EntryRead& entry, Findings& findings) {
    std::string_view written = consumed(content, entry.code);
    bool moreAfterDigits = entry.phone.present && entry.phone.begin == entry.code.end;
    if (moreAfterDigits) {
        warn(findings, entry.code,
             "area code " + quoted(tokenAt(content, entry.code.begin)) + " has more after its digits: the " +
                 "directory reads " + std::string(written) + " and takes " +
                 quoted(consumed(content, entry.phone)) + " as the number");
    }
    std::string listed = std::to_string(std::stoi(std::string(written)));
    if (listed.size() == 3 && listed == written) return;
    warn(findings, entry.code,
         "area code " + quoted(written) +
             (listed == written ? " is not three digits"
                                : " is listed as " + listed + ", not as three digits"));
}

void checkNumberForm(const std::string& content, const EntryRead& entry, Findings& findings) {
    std::string_view phone = consumed(content, entry.phone);
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

void checkEntry(const std::string& content, const EntryRead& entry, Findings& findings) {
    checkControlBytes(content, entry.first, "first name", findings);
    if (entry.last.present) checkControlBytes(content, entry.last, "last name", findings);
    if (entry.phone.present) checkControlBytes(content, entry.phone, "number", findings);
    if (entry.code.present && !entry.codeIsNumber) {
        checkCodeNotANumber(content, entry.code, findings);
        return;
    }
    if (entry.cutShort()) checkCutShort(entry, findings);
    if (entry.code.present) checkCodeForm(content, entry, findings);
    if (entry.phone.present) checkNumberForm(content, entry, findings);
}

}  // namespace

void checkEntries(const LoadResult& loaded, const std::string& content, Findings& findings) {
    for (const EntryRead& entry : loaded.entries) checkEntry(content, entry, findings);
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
    // Each slot's place in the file, followed through the sort.
    apvector<int> filePlace(kSlotCount);
    for (int slot = 0; slot < kSlotCount; ++slot) filePlace[slot] = slot;
    sortData(table, filePlace);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (table.lastName[slot].length() == 0) continue;  // an empty slot, or an entry cut short
        int shown = findLastName(table, table.lastName[slot]);
        if (shown == slot) continue;  // found: the table is sorted and holds the name
        const EntryRead& hidden = loaded.entries[static_cast<std::size_t>(filePlace[slot])];
        const EntryRead& reached = loaded.entries[static_cast<std::size_t>(filePlace[shown])];
        findings.push_back({hidden.last.line, hidden.last.column, Severity::Warning,
                            "the last-name search never shows " + entryName(table, slot) + ": for " +
                                quoted(view(table.lastName[slot])) + " it shows " + entryName(table, shown) +
                                " (line " + std::to_string(reached.first.line) + ") instead"});
    }
}
