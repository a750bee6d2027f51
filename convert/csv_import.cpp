#include "csv_import.h"

#include <algorithm>

namespace {

std::string lower(std::string_view text) {
    std::string result;
    for (char c : text) result += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    std::size_t begin = result.find_first_not_of(' ');
    std::size_t end = result.find_last_not_of(' ');
    return begin == std::string::npos ? "" : result.substr(begin, end - begin + 1);
}

// What a column holds.
enum class Role { FirstName, LastName, FullName, AreaCode, Phone };

struct ColumnName {
    const char* name;  // lower case; the header is matched without regard to case
    Role role;
};

// The column names this program knows: its own export's first, then those
// of Google Contacts, Outlook, Thunderbird, Apple and spreadsheets. Of the
// phone columns, the first in this order that a row fills is its number;
// after these come Google's "Phone 1 - Value", "Phone 2 - Value", ...
constexpr ColumnName kColumns[] = {
    {"first name", Role::FirstName},      // this program, Outlook, Thunderbird, Google
    {"given name", Role::FirstName},      // Google (older), Apple
    {"first", Role::FirstName},           //
    {"last name", Role::LastName},        // this program, Outlook, Thunderbird, Google
    {"family name", Role::LastName},      // Google (older)
    {"surname", Role::LastName},          // Apple, spreadsheets
    {"last", Role::LastName},             //
    {"name", Role::FullName},             // Google (older)
    {"full name", Role::FullName},        //
    {"display name", Role::FullName},     // Thunderbird
    {"area code", Role::AreaCode},        // this program: the area code of "number"
    {"number", Role::Phone},              // this program
    {"primary phone", Role::Phone},       // Outlook
    {"phone", Role::Phone},               // spreadsheets
    {"phone number", Role::Phone},        //
    {"telephone", Role::Phone},           //
    {"mobile phone", Role::Phone},        // Outlook
    {"mobile number", Role::Phone},       // Thunderbird
    {"mobile", Role::Phone},              // Apple, spreadsheets
    {"cell phone", Role::Phone},          //
    {"home phone", Role::Phone},          // Outlook, Thunderbird
    {"home phone 2", Role::Phone},        // Outlook
    {"business phone", Role::Phone},      // Outlook
    {"business phone 2", Role::Phone},    // Outlook
    {"work phone", Role::Phone},          // Thunderbird
    {"company main phone", Role::Phone},  // Outlook
    {"other phone", Role::Phone},         // Outlook
};

// Google's numbered phone columns: "phone 3 - value" gives 3, others 0.
int googlePhoneNumber(const std::string& name) {
    const std::string head = "phone ", tail = " - value";
    if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    std::string digits = name.substr(head.size(), name.size() - head.size() - tail.size());
    if (digits.size() > 4 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(digits);
}

// Where the header put each kind of column, -1 where it has none.
struct Columns {
    int first = -1, last = -1, full = -1, areaCode = -1, number = -1;
    std::vector<int> phones;      // in the order of kColumns, then Google's by number
    std::size_t firstGoogle = 0;  // where Google's start in phones
};

Columns findColumns(const std::vector<std::string>& header) {
    Columns found;
    std::vector<std::string> names;
    names.reserve(header.size());
    for (const std::string& field : header) names.push_back(lower(field));
    auto indexOf = [&](const char* name) {
        auto at = std::find(names.begin(), names.end(), name);
        return at == names.end() ? -1 : static_cast<int>(at - names.begin());
    };
    for (const ColumnName& column : kColumns) {
        int at = indexOf(column.name);
        if (at < 0) continue;
        int* single[] = {&found.first, &found.last, &found.full, &found.areaCode};
        if (column.role == Role::Phone) {
            if (std::string(column.name) == "number") found.number = at;
            found.phones.push_back(at);
        } else if (*single[static_cast<int>(column.role)] < 0) {
            *single[static_cast<int>(column.role)] = at;
        }
    }
    std::vector<std::pair<int, int>> google;  // its number, the column
    for (std::size_t k = 0; k < names.size(); ++k)
        if (int n = googlePhoneNumber(names[k])) google.emplace_back(n, static_cast<int>(k));
    std::sort(google.begin(), google.end());
    found.firstGoogle = found.phones.size();
    for (const auto& column : google) found.phones.push_back(column.second);
    return found;
}

// Google writes several numbers in one field, " ::: " between them.
std::vector<std::string> splitGoogleValues(const std::string& field) {
    std::vector<std::string> values;
    std::size_t from = 0;
    for (std::size_t at; (at = field.find(":::", from)) != std::string::npos; from = at + 3)
        values.push_back(field.substr(from, at - from));
    values.push_back(field.substr(from));
    return values;
}

}  // namespace

std::vector<CsvRecord> readCsvRecords(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<CsvRecord> records;
    CsvRecord record{1, {""}};
    int line = 1;
    bool inQuotes = false;
    auto endRecord = [&] {
        if (record.fields.size() > 1 || !record.fields[0].empty()) records.push_back(std::move(record));
        record = CsvRecord{line, {""}};
    };
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        std::string& field = record.fields.back();
        if (inQuotes) {
            if (c == '"' && k + 1 < text.size() && text[k + 1] == '"') {
                field += '"';
                ++k;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                if (c == '\n' || (c == '\r' && (k + 1 == text.size() || text[k + 1] != '\n'))) ++line;
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            inQuotes = true;
        } else if (c == ',') {
            record.fields.emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
            ++line;
            endRecord();
        } else {
            field += c;
        }
    }
    endRecord();
    return records;
}

std::vector<Contact> readCsvContacts(std::string_view text) {
    std::vector<CsvRecord> records = readCsvRecords(text);
    std::vector<Contact> contacts;
    if (records.empty()) return contacts;
    Columns columns = findColumns(records[0].fields);
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& fields = records[r].fields;
        auto field = [&](int column) {
            return column >= 0 && static_cast<std::size_t>(column) < fields.size() ? fields[column]
                                                                                   : std::string();
        };
        Contact contact;
        contact.line = records[r].line;
        contact.first = field(columns.first);
        contact.last = field(columns.last);
        contact.fullName = field(columns.full);
        for (std::size_t k = 0; k < columns.phones.size(); ++k) {
            int column = columns.phones[k];
            std::string value = field(column);
            if (k >= columns.firstGoogle) {
                for (const std::string& one : splitGoogleValues(value)) contact.phones.push_back({one});
                continue;
            }
            // This program's own columns: "(AREA) NUMBER" keeps both as written.
            if (column == columns.number && !field(columns.areaCode).empty() &&
                value.find_first_not_of(" \t") != std::string::npos) {
                value.insert(0, "(" + field(columns.areaCode) + ") ");
            }
            contact.phones.push_back({value});
        }
        contacts.push_back(std::move(contact));
    }
    return contacts;
}
