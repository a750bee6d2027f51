#include "load_problems.h"

#include "ascii.h"
#include "message_text.h"
#include "table.h"

namespace {

LoadProblem utf16File(ByteOrder order) {
    return {LoadStop::Utf16File, 1, 1, Severity::Error,
            std::string("the file is UTF-16 (") +
                (order == ByteOrder::LittleEndian ? "little-endian" : "big-endian") +
                "), which the directory cannot read: it starts empty; save the file as UTF-8"};
}

LoadProblem addressBookFile(AddressBook book) {
    const char* what =
        book == AddressBook::Vcard ? "a vCard address book" : "a CSV address book (line 1 names its columns)";
    return {LoadStop::AddressBookFile, 1, 1, Severity::Error,
            std::string("the file is ") + what +
                ", which the directory cannot read: it starts empty; make a data file of it with "
                "telelist-convert --from " +
                (book == AddressBook::Vcard ? "vcard" : "csv")};
}

LoadProblem fieldTooLong(const TokenRead& token) {
    return {LoadStop::FieldTooLong, token.line, token.column, Severity::Error,
            "a field of more than " + std::to_string(kFieldLimit) +
                " bytes, far beyond any name or number; the directory stops loading here: this entry keeps "
                "only the fields before it, and the rest of the file is not read"};
}

LoadProblem areaCodeNotANumber(const TokenRead& code) {
    const std::string& token = code.text;
    std::size_t digitsAt = !token.empty() && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    bool digits = digitsAt < token.size() && isAsciiDigit(token[digitsAt]);
    std::string message = "area code " + quoted(token) + (digits ? " is too large" : " is not a number");
    if (code.line == 1 && !digits) message += " (line 1 may be a header line, which the file cannot have)";
    return {LoadStop::AreaCodeNotANumber, code.line, code.column, Severity::Error,
            message + "; the directory stops loading here: this entry gets no number"};
}

LoadProblem cutShort(const EntryRead& entry) {
    const char* missing = !entry.last.present   ? "last name, area code and number are"
                          : !entry.code.present ? "area code and number are"
                                                : "number is";
    return {LoadStop::CutShort, entry.first.line, entry.first.column, Severity::Error,
            "entry cut short by the end of the file: its " + std::string(missing) +
                " missing; the directory loads what is there"};
}

LoadProblem seventeenthEntry(const TokenRead& start) {
    return {LoadStop::SeventeenthEntry, start.line, start.column, Severity::Error,
            "a 17th entry, " + quoted(start.text) + ", but the directory holds " +
                std::to_string(kSlotCount) + " entries: it refuses to start"};
}

}  // namespace

std::optional<LoadProblem> loadProblem(const LoadResult& loaded) {
    // An address book in UTF-16 is told as one: the converter reads it.
    if (loaded.addressBook) return addressBookFile(*loaded.addressBook);
    if (loaded.utf16) return utf16File(*loaded.utf16);
    if (loaded.tooMany) return seventeenthEntry(loaded.extraEntry);
    if (loaded.entries.empty()) return std::nullopt;
    // Only the last entry read can have ended the load.
    const EntryRead& last = loaded.entries.back();
    if (const TokenRead* tooLong = last.tooLong()) return fieldTooLong(*tooLong);
    if (last.code.present && !last.codeIsNumber) return areaCodeNotANumber(last.code);
    if (last.cutShort()) return cutShort(last);
    return std::nullopt;
}
