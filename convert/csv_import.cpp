#include "csv_import.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "address_book_detector.h"  // csvSeparatorOf
#include "ascii.h"
#include "csv_columns.h"
#include "csv_formula.h"
#include "entry_reader.h"
#include "fit.h"
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
// Columns not read whose values are counted, by name, for the line that
// tells what was not kept; values of columns past these are counted
// together. Each name is kept up to kOtherNameLimit bytes.
constexpr std::size_t kOtherColumnLimit = 64;
constexpr std::size_t kOtherNameLimit = 64;
// Columns named in that line; the rest are counted together.
constexpr std::size_t kOtherColumnsNamed = 8;
// Columns named when none is known; the rest are counted.
constexpr std::size_t kUnplacedNamed = 6;
// The most of a header name kept to tell a row that repeats the header.
constexpr std::size_t kHeaderNameLimit = 256;

// ======================================================================
//  Columns
// ======================================================================

struct Column {
    std::size_t index;
    Role role;
    int google = 0;      // Google's phone number N of a value or type column
    std::string header;  // its name in the header row, when not longer than kHeaderNameLimit
};

// A column's name as messages show it: bytes that are not UTF-8 read as
// Windows-1252, as its values are.
std::string shownName(std::string_view header) {
    Cleaning ignored;
    return cleanText(header.substr(0, kOtherNameLimit), ignored);
}

// A column not read, by its name in the header row, and how many values
// it held in contacts written.
struct OtherColumn {
    std::size_t index;
    std::string name;
    long long values = 0;
};

// Where the first row put the columns read, in column order.
class Columns {
public:
    void add(std::size_t index, std::string_view headerName) {
        std::string header(headerName.size() <= kHeaderNameLimit ? headerName : "");
        std::optional<KnownColumn> known = knownColumn(headerName);
        bool added = known && add({index, known->role, known->google, header});
        if (added && isGroups(known->role)) {
            // Read for --category, and still not kept.
            others_.push_back({index, shownName(headerName)});
        }
        if (!added) {
            ++unplaced_;
            if (others_.size() < kOtherColumnLimit) others_.push_back({index, shownName(headerName)});
        }
    }
    // Once every column of the header row is added: a name column that
    // reads as a first, last or full name by the columns beside it takes
    // that role, unless another column has it.
    void settle() {
        bool first = find(Role::FirstName) != nullptr, last = find(Role::LastName) != nullptr;
        for (auto column = columns_.begin(); column != columns_.end();) {
            Role settled = column->role;
            if (settled == Role::NameOrFirst) settled = last && !first ? Role::FirstName : Role::FullName;
            if (settled == Role::NameOrLast) settled = first && !last ? Role::LastName : Role::FullName;
            if (settled == column->role) {
                ++column;
            } else if (find(settled) == nullptr) {
                column->role = settled;
                ++column;
            } else {
                ++unplaced_;
                OtherColumn other{column->index, shownName(column->header)};
                others_.insert(std::lower_bound(
                                   others_.begin(), others_.end(), other.index,
                                   [](const OtherColumn& c, std::size_t wanted) { return c.index < wanted; }),
                               std::move(other));
                column = columns_.erase(column);
            }
        }
    }
    // Adds a column that follows every column added so far; false when it
    // is not read (phone columns past the limit aside).
    bool add(Column column) {
        bool single = !isPhone(column.role) && column.role != Role::PhoneType;
        if (single && find(column.role) != nullptr) return false;
        if (column.role == Role::PhoneType &&
            (typeOf(column.google) != nullptr || types_ == kPhoneColumnLimit))
            return false;
        if (isPhone(column.role) && ++phones_ > kPhoneColumnLimit) {
            ++phonesLeftOut_;
            return true;
        }
        types_ += column.role == Role::PhoneType ? 1 : 0;
        columns_.push_back(std::move(column));
        return true;
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
            return c.role != Role::AreaCode && c.role != Role::PhoneType && !isGroups(c.role);
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

    // The place in others() of the column at index, or others().size() for
    // one not counted by name.
    std::size_t other(std::size_t index) const {
        return static_cast<std::size_t>(std::lower_bound(others_.begin(), others_.end(), index,
                                                         [](const OtherColumn& column, std::size_t wanted) {
                                                             return column.index < wanted;
                                                         }) -
                                        others_.begin());
    }
    std::vector<OtherColumn>& others() { return others_; }
    // The first row was no header: there are no names to count by.
    void forgetOthers() { others_.clear(); }

    // The first few columns not placed, named: "\"E-mail\", \"Company\" and 3
    // more".
    std::string unplaced() const {
        std::string list;
        std::size_t named = 0;
        for (const OtherColumn& column : others_) {
            if (named == kUnplacedNamed || wants(column.index)) continue;  // a column of groups is read
            list +=
                (named++ == 0 ? "" : ", ") +
                (column.name.empty() ? "column " + std::to_string(column.index + 1) : quoted(column.name));
        }
        if (unplaced_ > named) list += " and " + std::to_string(unplaced_ - named) + " more";
        return list;
    }

    static bool isPhone(Role role) {
        return role == Role::Phone || role == Role::PreferredPhone || role == Role::OtherLine;
    }
    static bool isGroups(Role role) { return role == Role::GoogleGroups || role == Role::Categories; }

private:
    // In column order; at most four names and area code, kPhoneColumnLimit
    // phone columns and as many type columns, so a row read keeps a few
    // MiB at most.
    std::vector<Column> columns_;
    std::vector<OtherColumn> others_;  // in column order; at most kOtherColumnLimit
    std::size_t phones_ = 0;
    std::size_t types_ = 0;
    std::size_t phonesLeftOut_ = 0;
    std::size_t unplaced_ = 0;  // columns of the header not read
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
    // Columns not read that hold a value: the places in Columns::others()
    // of those counted by name, and how many the others are.
    std::vector<std::size_t> others;
    long long otherValues = 0;
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
        const char separator = csvSeparatorOf(source_.peekLine(kValueLimit));
        separator_ = separator == '\0' ? ',' : separator;
    }

    // Reads the next row that holds anything; false at the end of the file.
    // Each field that wanted(column) asks for goes to keep(column, field);
    // other(column) hears of each other field that holds more than blanks.
    template <typename Wanted, typename Keep, typename Other>
    bool next(Row& row, Wanted wanted, Keep keep, Other other) {
        do {
            row.fields.clear();
            row.others.clear();
            row.otherValues = 0;
            row.unclosedQuote = false;
            row.line = line_;
            if (!readRecord(row, wanted, keep, other)) return false;
        } while (blank_);
        return true;
    }

private:
    template <typename Wanted, typename Keep, typename Other>
    bool readRecord(Row& row, Wanted wanted, Keep keep, Other other) {
        source_.skipMarks(line_, reporter_);
        int c = source_.get();
        if (c < 0) return false;
        std::size_t column = 0;
        blank_ = true;
        while (true) {
            bool kept = wanted(column);
            Field field;
            filled_ = false;
            c = readField(c, kept ? &field : nullptr, row);
            if (kept) {
                keep(column, std::move(field));
            } else if (filled_) {
                other(column);
            }
            if (c != separator_) break;
            blank_ = false;
            ++column;
            c = source_.get();
        }
        return true;
    }

    void add(Field* field, int c) {
        filled_ = filled_ || (c != ' ' && c != '\t');
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
    bool blank_ = false;   // the record read holds nothing
    bool filled_ = false;  // the field read holds more than blanks
};

// ======================================================================
//  Rows into contacts
// ======================================================================

// A field's text; the quote this program's export puts in front of a cell
// a spreadsheet would take for a formula (after any quotes of its own) is
// taken off.
std::string cellText(const Field& field) {
    const std::string& text = field.text;
    if (!text.empty() && text[0] == '\'' && startsAsFormula(text)) return text.substr(1);
    return text;
}

bool containsNoCase(std::string_view text, std::string_view word) {
    return asciiLowered(text).find(word) != std::string::npos;
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
        if (const Column* groups = columns_.find(Role::GoogleGroups)) addGroups(row, *groups, contact);
        if (const Column* groups = columns_.find(Role::Categories)) addGroups(row, *groups, contact);
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

    // Google's groups are " ::: " apart, its own marked "* ": "* myContacts
    // ::: * starred ::: Friends"; Outlook's ";" or "," apart.
    static void addGroups(const Row& row, const Column& column, Contact& contact) {
        const Field* field = row.field(column.index);
        if (field == nullptr) return;
        std::string_view text = field->text;
        bool google = column.role == Role::GoogleGroups;
        while (!text.empty()) {
            std::size_t end = google ? text.find(":::") : text.find_first_of(";,");
            std::string_view group = text.substr(0, end);
            std::size_t mark = group.find_first_not_of(" \t");
            if (google && mark != std::string_view::npos && group[mark] == '*') group.remove_prefix(mark + 1);
            contact.addGroup(group);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + (google ? 3 : 1));
        }
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
    return !text.empty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), isAsciiDigit);
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
        columns.add({0, Role::FirstName, 0, {}});
        columns.add({1, Role::LastName, 0, {}});
        told = "First Name, Last Name";
    } else {
        columns.add({0, Role::FullName, 0, {}});
        told = "Name";
    }
    if (namesEnd != phoneAt) {
        columns.add({namesEnd, Role::AreaCode, 0, {}});
        told += ", Area Code";
    }
    columns.add({phoneAt, Role::Phone, 0, {}});
    told += namesEnd != phoneAt ? ", Number" : ", Phone";
    return true;
}

// The row holds the header row's names in the columns read, as a file
// joined on to another (cat a.csv b.csv) holds the second one's header.
bool repeatsHeader(const Row& row, const Columns& columns) {
    for (const Column& column : columns.all()) {
        const Field* field = row.field(column.index);
        if (column.header.empty() || field == nullptr || field->text != column.header) return false;
    }
    return true;
}

// "\"E-mail Address\" (6 values), \"Notes\" (1 value)": the values of
// columns not read, in column order.
std::string otherValuesList(const std::vector<OtherColumn>& others, long long unnamed) {
    std::string list;
    std::size_t named = 0;
    for (const OtherColumn& column : others) {
        if (column.values == 0) continue;
        if (named == kOtherColumnsNamed) {
            unnamed += column.values;
            continue;
        }
        ++named;
        list += (list.empty() ? "" : ", ") +
                (column.name.empty() ? "column " + std::to_string(column.index + 1) : quoted(column.name)) +
                " (" + counted(column.values, "value", "values") + ")";
    }
    if (unnamed > 0) {
        list += (list.empty() ? "" : ", and ") + counted(unnamed, "value", "values") +
                (list.empty() ? " of columns not read" : " of other columns");
    }
    return list;
}

}  // namespace

CsvRead readCsvContacts(TextSource& source, const TakeContact& take, Reporter& reporter) {
    CsvRead read;
    RecordReader records(source, reporter);
    records.findSeparator();
    // The first row: its column names, and its first fields in case it is
    // no header but a contact.
    Columns columns;
    Row first;
    auto all = [](std::size_t) { return true; };
    long long firstPastGuessed = 0;  // fields of the first row past kGuessedFields that hold a value
    auto header = [&](std::size_t column, Field&& field) {
        columns.add(column, field.text);
        if (column < kGuessedFields) {
            first.fields.emplace_back(column, std::move(field));
        } else {
            firstPastGuessed += field.text.find_first_not_of(" \t") != std::string::npos ? 1 : 0;
        }
    };
    auto none = [](std::size_t) {};
    if (!records.next(first, all, header, none)) return read;
    bool firstIsContact = false;
    if (columns.empty()) {
        std::string told;
        if (!guessColumns(first, columns, told)) {
            read.unplaced = columns.unplaced();
            return read;
        }
        firstIsContact = true;
        columns.forgetOthers();
        reporter.report(
            first.line, Severity::Warning,
            "the first row names no column this program knows but reads as a contact: the file is "
            "taken to have no header row, its columns " +
                told);
    }
    columns.settle();
    read.columnsFound = columns.namesOrNumbers();
    if (!read.columnsFound) {
        read.unplaced = columns.unplaced();
        return read;
    }
    if (columns.phonesLeftOut() > 0) {
        reporter.report(first.line, Severity::Warning,
                        std::to_string(columns.phonesLeftOut()) + " phone columns after the first " +
                            std::to_string(kPhoneColumnLimit) + " are not read");
    }
    RowReader rows(columns);
    auto wanted = [&](std::size_t column) { return columns.wants(column); };
    Row row;
    // The rows taken: their lines, and the values of columns not read.
    std::vector<Row> taken;
    if (firstIsContact) {
        ++read.rows;
        Contact contact = rows.contact(first);
        if (take(contact)) {
            Row values;
            values.line = first.line;
            values.otherValues = firstPastGuessed;
            for (const auto& field : first.fields) {
                bool value = field.second.text.find_first_not_of(" \t") != std::string::npos;
                values.otherValues += !columns.wants(field.first) && value ? 1 : 0;
            }
            taken.push_back(std::move(values));
        }
    }
    std::vector<OtherColumn>& others = columns.others();
    auto other = [&](std::size_t column) {
        std::size_t place = columns.other(column);
        if (place < others.size() && others[place].index == column) {
            row.others.push_back(place);
        } else {
            ++row.otherValues;
        }
    };
    auto keep = [&](std::size_t column, Field&& field) {
        // A column of groups is read, and counted as not kept too.
        if (field.text.find_first_not_of(" \t") != std::string::npos &&
            columns.other(column) < others.size() && others[columns.other(column)].index == column)
            row.others.push_back(columns.other(column));
        row.fields.emplace_back(column, std::move(field));
    };
    while (records.next(row, wanted, keep, other)) {
        if (row.unclosedQuote) continue;
        if (!firstIsContact && repeatsHeader(row, columns)) {
            reporter.report(row.line, Severity::Warning,
                            "this row repeats the header row, as where one file was joined on to another: it "
                            "is not read as a contact");
            continue;
        }
        ++read.rows;
        Contact contact = rows.contact(row);
        if (!take(contact)) continue;
        taken.emplace_back();
        taken.back().line = row.line;
        taken.back().others = std::move(row.others);
        taken.back().otherValues = row.otherValues;
    }
    long long unnamed = 0;  // values of columns not read and not counted by name, in contacts written
    for (const Row& values : taken) {
        if (!reporter.written(values.line)) continue;
        for (std::size_t place : values.others) ++others[place].values;
        unnamed += values.otherValues;
    }
    reporter.notKept(otherValuesList(others, unnamed));
    return read;
}
