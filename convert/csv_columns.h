// The columns of address book exports that the CSV import reads, known by
// their names in the header row: Outlook's and Google's in English, German,
// French, Spanish, Italian, Dutch and Portuguese, Thunderbird's, Apple's,
// this program's own and a spreadsheet's usual ones (see kColumns in
// csv_columns.cpp).
#ifndef CONVERT_CSV_COLUMNS_H
#define CONVERT_CSV_COLUMNS_H

#include <optional>
#include <string_view>

enum class Role {
    FirstName,
    LastName,
    FullName,
    // A name that is a first name beside a column of last names, else a full
    // name: Italian and Portuguese "Nome", Spanish "Nombre".
    NameOrFirst,
    // A name that is a last name beside a column of first names and none of
    // last names, else a full name: "Name" beside German "Vorname", French
    // "Nom" beside "Prénom".
    NameOrLast,
    AreaCode,
    Phone,
    PreferredPhone,
    OtherLine,     // a fax, pager or other line no one answers
    PhoneType,     // Google's type of a numbered phone column
    GoogleGroups,  // Google's labels: "* myContacts ::: * starred ::: Friends"
    Categories,    // Outlook's: "Friends;Family" or "Friends, Family"
};

struct KnownColumn {
    Role role;
    int google = 0;  // Google's numbered phone column N of a value or type column
};

// What a column holds, by its name in the header row, in any letter case,
// with or without accents, blanks and punctuation; bytes that are not UTF-8
// read as Windows-1252. Nothing for a name this program does not know.
std::optional<KnownColumn> knownColumn(std::string_view name);

#endif  // CONVERT_CSV_COLUMNS_H
