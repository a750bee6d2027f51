#include "csv_import.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "entry_reader.h"
#include "phone_number.h"

namespace {

// A quoted field holding a line end is kept, from that line end on, up to
// this many bytes, to be read again as rows should the quote never close.
constexpr std::size_t kReplayLimit = std::size_t{1} << 20;
// Phone columns read; more are left out, with a warning.
constexpr std::size_t kPhoneColumnLimit = 32;
// Fields of a first row kept to read as a contact when it is no header.
constexpr std::size_t kGuessedFields = 8;
// The most of a field kept: one byte more than a field of the data file
// holds tells a field too long.
constexpr std::size_t kCsvFieldLimit = kFieldLimit + 1;

// ======================================================================
//  Columns
// ======================================================================

enum class Role { FirstName, LastName, FullName, AreaCode, Phone, PreferredPhone, OtherLine, PhoneType };

struct ColumnName {
    const char* name;  // lower case, without blanks or punctuation
    Role role;
};

// The column names this program knows: its own export's first, then those
// of Google Contacts, Outlook, Thunderbird, Apple and spreadsheets.
constexpr ColumnName kColumns[] = {
    {"firstname", Role::FirstName},          // this program, Outlook, Thunderbird, Google
    {"givenname", Role::FirstName},          // Google (older), Apple
    {"first", Role::FirstName},              //
    {"forename", Role::FirstName},           //
    {"lastname", Role::LastName},            // this program, Outlook, Thunderbird, Google
    {"familyname", Role::LastName},          // Google (older)
    {"surname", Role::LastName},             // Apple, spreadsheets
    {"last", Role::LastName},                //
    {"name", Role::FullName},                // Google (older)
    {"fullname", Role::FullName},            //
    {"displayname", Role::FullName},         // Thunderbird
    {"areacode", Role::AreaCode},            // this program: the area code of "number"
    {"number", Role::Phone},                 // this program
    {"primaryphone", Role::PreferredPhone},  // Outlook
    {"phone", Role::Phone},                  // spreadsheets
    {"phonenumber", Role::Phone},            //
    {"telephone", Role::Phone},              //
    {"telephonenumber", Role::Phone},        //
    {"tel", Role::Phone},                    //
    {"mobilephone", Role::Phone},            // Outlook
    {"mobilenumber", Role::Phone},           // Thunderbird
    {"mobile", Role::Phone},                 // Apple, spreadsheets
    {"cellphone", Role::Phone},              //
    {"cell", Role::Phone},                   //
    {"homephone", Role::Phone},              // Outlook, Thunderbird
    {"homephone2", Role::Phone},             // Outlook
    {"businessphone", Role::Phone},          // Outlook
    {"businessphone2", Role::Phone},         // Outlook
    {"workphone", Role::Phone},              // Thunderbird
    {"companymainphone", Role::Phone},       // Outlook
    {"otherphone", Role::Phone},             // Outlook
    {"carphone", Role::Phone},               // Outlook
    {"callback", Role::Phone},               // Outlook
    {"assistantsphone", Role::Phone},        // Outlook
    {"radiophone", Role::Phone},             // Outlook
    {"businessfax", Role::OtherLine},        // Outlook
    {"homefax", Role::OtherLine},            // Outlook
    {"otherfax", Role::OtherLine},           // Outlook
    {"fax", Role::OtherLine},                //
    {"faxnumber", Role::OtherLine},          // Thunderbird
    {"pager", Role::OtherLine},              // Outlook
    {"pagernumber", Role::OtherLine},        // Thunderbird
    {"ttytddphone", Role::OtherLine},        // Outlook
};

// A column name lower case, without blanks or punctuation; at most a short
// name's worth, as no name this program knows is longer.
std::string normalized(std::string_view name) {
    std::string result;
    for (char c : name) {
        bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && static_cast<unsigned char>(c) < 0x80) continue;
        if (result.size() == 32) break;
        result += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return result;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Google's numbered phone columns: "phone3value" (or "...type",
// "...label") gives 3 and the part after the digits.
int googlePhoneColumn(const std::string& name, std::string& part) {
    if (name.compare(0, 5, "phone") != 0) return 0;
    std::size_t at = 5;
    int number = 0;
    while (at < name.size() && isDigit(name[at]) && number < 10000) number = number * 10 + (name[at++] - '0');
    if (at == 5) return 0;
    part = name.substr(at);
    return part == "value" || part == "type" || part == "label" ? number : 0;
}

struct Column {
    std::size_t index;
    Role role;
    int google = 0;  // Google's phone number N of a value or type column
};

// Where the first row put the columns read, in column order.
class Columns {
public:
    void add(std::size_t index, std::string_view headerName) {
        std::string name = normalized(headerName);
        std::string part;
        if (int google = googlePhoneColumn(name, part)) {
            add({index, part == "value" ? Role::Phone : Role::PhoneType, google});
            return;
        }
        for (const ColumnName& known : kColumns) {
            if (name == known.name) {
                add({index, known.role, 0});
                return;
            }
        }
    }
    // Adds a column that follows every column added so far.
    void add(Column column) {
        bool single = column.role == Role::FirstName || column.role == Role::LastName ||
                      column.role == Role::FullName || column.role == Role::AreaCode;
        if (single && find(column.role) != nullptr) return;
        if (column.role == Role::PhoneType &&
            (typeOf(column.google) != nullptr || types_ == kPhoneColumnLimit))
            return;
        if (isPhone(column.role) && ++phones_ > kPhoneColumnLimit) {
            ++phonesLeftOut_;
            return;
        }
        types_ += column.role == Role::PhoneType ? 1 : 0;
        columns_.push_back(column);
    }
    // A column of the file is one of those read.
    bool wants(std::size_t index) const {
        auto at =
            std::lower_bound(columns_.begin(), columns_.end(), index,
                             [](const Column& column, std::size_t wanted) { return column.index < wanted; });
        return at != columns_.end() && at->index == index;
    }
    bool empty() const { return columns_.empty(); }
    bool namesOrNumbers() const {
        return std::any_of(columns_.begin(), columns_.end(), [](const Column& c) {
            return c.role != Role::AreaCode && c.role != Role::PhoneType;
        });
    }
    const Column* find(Role role) const {
        for (const Column& column : columns_)
            if (column.role == role) return &column;
        return nullptr;
    }
    const Column* typeOf(int google) const {
        for (const Column& column : columns_)
            if (column.role == Role::PhoneType && column.google == google) return &column;
        return nullptr;
    }
    const std::vector<Column>& all() const { return columns_; }
    std::size_t phonesLeftOut() const { return phonesLeftOut_; }

    static bool isPhone(Role role) {
        return role == Role::Phone || role == Role::PreferredPhone || role == Role::OtherLine;
    }

private:
    // In column order; at most four names and area code, kPhoneColumnLimit
    // phone columns and as many type columns, so a row read keeps a few
    // MiB at most.
    std::vector<Column> columns_;
    std::size_t phones_ = 0;
    std::size_t types_ = 0;
    std::size_t phonesLeftOut_ = 0;
};

// ======================================================================
//  Records
// ======================================================================

struct Field {
    std::string text;
    bool cut = false;  // longer than kCsvFieldLimit
};

// One row: the fields of the columns read, by column index.
struct Row {
    long long line = 0;
    std::vector<std::pair<std::size_t, Field>> fields;  // in column order
    bool unclosedQuote = false;

    const Field* field(std::size_t index) const {
        for (const auto& field : fields)
            if (field.first == index) return &field.second;
        return nullptr;
    }
};

class RecordReader {
public:
    RecordReader(TextSource& source, Reporter& reporter) : source_(source), reporter_(reporter) {}

    // The separator the first line holds most of, outside quotes: comma,
    // semicolon or tab, a comma when it holds none.
    void findSeparator() {
        std::string_view first = source_.peekLine(kValueLimit);
        std::size_t commas = 0, semicolons = 0, tabs = 0;
        bool inQuotes = false;
        for (char c : first) {
            inQuotes = c == '"' ? !inQuotes : inQuotes;
            if (inQuotes) continue;
            commas += c == ',';
            semicolons += c == ';';
            tabs += c == '\t';
        }
        separator_ = semicolons > commas && semicolons >= tabs ? ';'
                     : tabs > commas && tabs > semicolons      ? '\t'
                                                               : ',';
    }

    // Reads the next row that holds anything; false at the end of the file.
    // Each field that wanted(column) asks for goes to keep(column, field).
    template <typename Wanted, typename Keep>
    bool next(Row& row, Wanted wanted, Keep keep) {
        do {
            row.fields.clear();
            row.unclosedQuote = false;
            row.line = line_;
            if (!readRecord(row, wanted, keep)) return false;
        } while (blank_);
        return true;
    }

private:
    template <typename Wanted, typename Keep>
    bool readRecord(Row& row, Wanted wanted, Keep keep) {
        int c = source_.get();
        if (c < 0) return false;
        std::size_t column = 0;
        blank_ = true;
        while (true) {
            bool kept = wanted(column);
            Field field;
            c = readField(c, kept ? &field : nullptr, row);
            if (kept) keep(column, std::move(field));
            if (c != separator_) break;
            blank_ = false;
            ++column;
            c = source_.get();
        }
        return true;
    }

    void add(Field* field, int c) {
        if (field == nullptr) return;
        if (field->text.size() < kCsvFieldLimit) {
            field->text += static_cast<char>(c);
        } else {
            field->cut = true;
        }
    }

    // Takes the line end that c starts.
    void lineEnd(int c) {
        if (c == '\r') source_.takeRestOfLineEnd();
        ++line_;
    }

    // Reads a field starting with c; returns what follows it: the separator,
    // a line end's first byte (taken), or -1 at the end of the file.
    int readField(int c, Field* field, Row& row) {
        if (c == '"') return readQuoted(field, row);
        while (c >= 0 && c != separator_ && c != '\n' && c != '\r') {
            blank_ = false;
            add(field, c);
            c = source_.get();
        }
        if (c == '\n' || c == '\r') lineEnd(c);
        return c;
    }

    int readQuoted(Field* field, Row& row) {
        blank_ = false;
        long long opened = line_;
        std::string replay;  // from the first line end inside the quotes on
        bool replaying = false;
        long long replayLine = 0;
        int c;
        while ((c = source_.get()) >= 0) {
            if (replaying) replay += static_cast<char>(c);
            if (c == '"') {
                int after = source_.get();
                if (after != '"') {
                    // The quote closes; what follows up to the separator is
                    // kept as written.
                    c = after;
                    while (c >= 0 && c != separator_ && c != '\n' && c != '\r') {
                        add(field, c);
                        c = source_.get();
                    }
                    if (c == '\n' || c == '\r') lineEnd(c);
                    return c;
                }
                if (replaying) replay += '"';
                add(field, '"');
                continue;
            }
            if (c == '\n' || c == '\r') {
                if (c == '\r') {
                    source_.takeRestOfLineEnd();
                    if (replaying) replay.back() = '\n';
                }
                ++line_;
                if (!replaying) {
                    replaying = true;
                    replayLine = line_;
                }
                c = '\n';
            }
            add(field, c);
            if (replay.size() > kReplayLimit) break;
        }
        // Never closed: the row is not read, and the lines after the one
        // the quote opened on are read again as rows.
        row.unclosedQuote = true;
        reporter_.report(opened, Severity::Error,
                         std::string("a quote opened on this line is never closed") +
                             (c >= 0 ? " within " + std::to_string(kReplayLimit >> 20) + " MiB" : "") +
                             ": this row is not written, and the lines after it are read as rows");
        if (replaying) {
            source_.unread(replay);
            line_ = replayLine;
        }
        return -1;
    }

    TextSource& source_;
    Reporter& reporter_;
    char separator_ = ',';
    long long line_ = 1;
    bool blank_ = false;  // the record read holds nothing
};

// ======================================================================
//  Rows into contacts
// ======================================================================

bool isFormulaStart(char c) { return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r'; }

// A field's text; the quote this program's export puts in front of a cell
// a spreadsheet would take for a formula (after any quotes of its own) is
// taken off.
std::string cellText(const Field& field) {
    const std::string& text = field.text;
    std::size_t quotes = text.find_first_not_of('\'');
    if (quotes > 0 && quotes != std::string::npos && isFormulaStart(text[quotes])) return text.substr(1);
    return text;
}

bool containsNoCase(std::string_view text, std::string_view word) {
    std::string lower(text);
    for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower.find(word) != std::string::npos;
}

class RowReader {
public:
    explicit RowReader(const Columns& columns) : columns_(columns) {}

    Contact contact(const Row& row) const {
        Contact contact;
        contact.line = row.line;
        single(row, Role::FirstName, "first name", contact, contact.first);
        single(row, Role::LastName, "last name", contact, contact.last);
        single(row, Role::FullName, "full name", contact, contact.fullName);
        const Field* areaCode = fieldOf(row, Role::AreaCode);
        const Column* number = columns_.find(Role::Phone);  // this program's own "Number", when first
        for (const Column& column : columns_.all()) {
            if (!Columns::isPhone(column.role)) continue;
            const Field* field = row.field(column.index);
            if (field == nullptr) continue;
            if (field->cut) {
                contact.fail("a phone number of more than " + std::to_string(kFieldLimit) + " bytes");
                continue;
            }
            std::string value = cellText(*field);
            if (column.google != 0) {
                googleNumbers(row, column, value, contact);
                continue;
            }
            // This program's own columns: "(AREA) NUMBER" keeps both as written.
            if (&column == number && areaCode != nullptr && !areaCode->text.empty() &&
                value.find_first_not_of(" \t") != std::string::npos) {
                value.insert(0, "(" + cellText(*areaCode) + ") ");
            }
            contact.addPhone({value, column.role == Role::PreferredPhone ? 1 : PhoneValue::kNotPreferred,
                              column.role != Role::OtherLine});
        }
        return contact;
    }

private:
    // The row's field of the first column of role, or null.
    const Field* fieldOf(const Row& row, Role role) const {
        const Column* column = columns_.find(role);
        return column != nullptr ? row.field(column->index) : nullptr;
    }

    void single(const Row& row, Role role, const char* what, Contact& contact, std::string& text) const {
        const Field* field = fieldOf(row, role);
        if (field == nullptr) return;
        if (field->cut) {
            contact.fail(std::string("a ") + what + " of more than " + std::to_string(kFieldLimit) +
                         " bytes");
        }
        text = cellText(*field);
    }

    // Google writes several numbers in one field, " ::: " between them, and
    // their type in a column of its own: "* Mobile" for the preferred one.
    void googleNumbers(const Row& row, const Column& column, const std::string& value,
                       Contact& contact) const {
        const Column* typeColumn = columns_.typeOf(column.google);
        const Field* typeField = typeColumn != nullptr ? row.field(typeColumn->index) : nullptr;
        std::string type = typeField != nullptr ? typeField->text : "";
        bool preferred = type.find('*') != std::string::npos;
        bool voice = !containsNoCase(type, "fax") && !containsNoCase(type, "pager");
        std::size_t from = 0;
        for (std::size_t at; (at = value.find(":::", from)) != std::string::npos; from = at + 3) {
            contact.addPhone(
                {value.substr(from, at - from), preferred ? 1 : PhoneValue::kNotPreferred, voice});
        }
        contact.addPhone({value.substr(from), preferred ? 1 : PhoneValue::kNotPreferred, voice});
    }

    const Columns& columns_;
};

// A phone number of at least seven digits.
bool looksLikeNumber(const std::string& text) {
    PhoneNumber number = readPhoneNumber(text);
    return number.kind != NumberKind::NotANumber && number.national.size() >= 7;
}

bool isShortNumber(const std::string& text) {
    return !text.empty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), isDigit);
}

// The columns of a first row that is a contact, not a header: the number
// where the first phone number stands, an area code just before it when
// there is room for two names, and the names before those.
bool guessColumns(const Row& first, Columns& columns, std::string& told) {
    std::size_t phoneAt = 0;
    while (phoneAt < first.fields.size() && !looksLikeNumber(first.fields[phoneAt].second.text)) ++phoneAt;
    if (phoneAt == 0 || phoneAt == first.fields.size()) return false;
    std::size_t namesEnd = phoneAt;
    if (phoneAt >= 3 && isShortNumber(first.fields[phoneAt - 1].second.text)) namesEnd = phoneAt - 1;
    if (namesEnd >= 2) {
        columns.add({0, Role::FirstName});
        columns.add({1, Role::LastName});
        told = "First Name, Last Name";
    } else {
        columns.add({0, Role::FullName});
        told = "Name";
    }
    if (namesEnd != phoneAt) {
        columns.add({namesEnd, Role::AreaCode});
        told += ", Area Code";
    }
    columns.add({phoneAt, Role::Phone});
    told += namesEnd != phoneAt ? ", Number" : ", Phone";
    return true;
}

}  // namespace

CsvRead readCsvContacts(TextSource& source, const std::function<void(Contact&)>& take, Reporter& reporter) {
    CsvRead read;
    RecordReader records(source, reporter);
    records.findSeparator();
    // The first row: its column names, and its first fields in case it is
    // no header but a contact.
    Columns columns;
    Row first;
    auto all = [](std::size_t) { return true; };
    auto header = [&](std::size_t column, Field&& field) {
        columns.add(column, field.text);
        if (column < kGuessedFields) first.fields.emplace_back(column, std::move(field));
    };
    if (!records.next(first, all, header)) return read;
    bool firstIsContact = false;
    if (columns.empty()) {
        std::string told;
        if (!guessColumns(first, columns, told)) return read;
        firstIsContact = true;
        reporter.report(
            first.line, Severity::Warning,
            "the first row names no column this program knows but reads as a contact: the file is "
            "taken to have no header row, its columns " +
                told);
    }
    read.columnsFound = columns.namesOrNumbers();
    if (!read.columnsFound) return read;
    if (columns.phonesLeftOut() > 0) {
        reporter.report(first.line, Severity::Warning,
                        std::to_string(columns.phonesLeftOut()) + " phone columns after the first " +
                            std::to_string(kPhoneColumnLimit) + " are not read");
    }
    RowReader rows(columns);
    auto wanted = [&](std::size_t column) { return columns.wants(column); };
    Row row;
    if (firstIsContact) {
        ++read.rows;
        Contact contact = rows.contact(first);
        take(contact);
    }
    auto keep = [&](std::size_t column, Field&& field) { row.fields.emplace_back(column, std::move(field)); };
    while (records.next(row, wanted, keep)) {
        ++read.rows;
        if (row.unclosedQuote) continue;
        Contact contact = rows.contact(row);
        take(contact);
    }
    return read;
}
