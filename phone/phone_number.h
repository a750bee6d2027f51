// Phone numbers: read in the forms people and address books write them,
// written for each use (the data file, a vCard, a CSV cell, a line on the
// screen) and compared for caller ID. The one place that knows what a
// number is: no tool reads, writes or compares one another way.
//
// Forms read (readPhoneNumber):
//   358-9111, 3589111                   seven digits: no area code
//   (312) 358-9111, 312 358-9111,
//   312.358.9111, 312/358-9111,
//   3123589111                          ten digits: North American
//   1 312 358 9111, +1 312 358 9111     eleven starting with 1, +1 and ten
//   tel:+1-312-358-9111;ext=102         a tel: URI, its ;ext= and
//   tel:358-9111;phone-context=+1-312   ;phone-context= (a global start)
//   358-9111 x102, ext. 102, ext 102,
//   #102, ;ext=102                      an extension
//   +44 20 7946 0958, +44 (0)20 7946 0958,
//   +49(721)123456                      another country: +CC, any grouping
//   (0) +44 20 7946 0958, (0) 358-9111  this program's older exports
//   0721 123456                         a national number with a trunk 0:
//                                       digits of no known country
//   ?, business, +49 BUSINESS           not a number
#ifndef PHONE_PHONE_NUMBER_H
#define PHONE_PHONE_NUMBER_H

#include <string>
#include <string_view>

enum class NumberKind {
    NorthAmerican,  // country code 1: a three-digit area code and seven digits
    Local,          // seven digits without an area code: the number under any
    International,  // a country code other than 1 and the national number
    Digits,         // digits whose country is not known (a trunk 0, another length)
    NotANumber,     // text no one can dial: "?", "business"
};

// How sure the reading is of the country.
enum class Certainty {
    Written,  // the country code is written: +1, +44, a global tel: URI
    Plan,     // ten digits of the North American plan, no country written, or
              // eleven grouped as there: "1-312-358-9111", "1 (312) 358-9111"
    Guessed,  // eleven digits starting with 1, no +, grouped otherwise or not
              // at all: taken as +1, but it may be another country's (a
              // mobile number in China is 1 and ten: "13866192019")
    None,     // no country: a local number, digits of no known country, junk
};

struct PhoneNumber {
    NumberKind kind = NumberKind::NotANumber;
    Certainty certainty = Certainty::None;
    int countryCode = 0;     // 0 when not known
    int areaCode = 0;        // NorthAmerican: three digits; Digits: one written
                             // apart, as in "(48) 555-0110"; 0 when none
    std::string national;    // the national number's digits: for NorthAmerican
                             // the ten, for Local the seven, for International
                             // those after the country code (no trunk 0), for
                             // Digits every digit, the area code's first
    std::string subscriber;  // NorthAmerican and Local: the seven digits
    std::string extension;   // digits; empty when none
    std::string grouped;     // International, Digits and NotANumber: the
                             // number as the data file writes it, without
                             // extension: "+44-20-7946-0958"
    std::string written;     // read from the data file: the token as it holds
                             // it ("5550187", "358-9111x102"); else empty
    int fileAreaCode = 0;    // with written: the area code the file holds
};

// The number text stands for, blanks at either end aside.
PhoneNumber readPhoneNumber(std::string_view text);

// The number of a data-file entry: its area code (0: none) and number token.
PhoneNumber readEntryNumber(int areaCode, std::string_view token);
// The same for words of the file the load did not take in: an area code
// word of up to nine digits, or none.
PhoneNumber readEntryNumber(std::string_view areaCodeWord, std::string_view token);

// The usual form of the data file's number token: three digits, a hyphen,
// four digits, perhaps an extension after an x: "358-9111", "656-9254x102".
// Others load too.
bool isUsualToken(std::string_view token);

// What the data file holds: area code (0 when none) and number token. A
// North American number is "312" "358-9111"; an extension follows the
// seven digits after an x: "358-9111x102".
struct EntryNumber {
    int areaCode = 0;
    std::string token;
};
EntryNumber entryNumber(const PhoneNumber& number);

// A tel: URI, "tel:+1-312-358-9111;ext=102", for a number of a known
// country; empty for others.
std::string telUri(const PhoneNumber& number);

// A data-file entry's number as a vCard 4.0 TEL value: a tel: URI for a
// number of a known country, but for a North American one whose token is
// not of the usual form ("5550187"); else text, the token as written after
// the area code if there is one ("(312) 5550187", "555-0199"). The import
// reads either back as the same number, the same two fields but where a
// URI writes an international number's groups anew ("+44-(0)20-..." comes
// back "+44-20-...").
struct VCardTel {
    bool uri = false;
    std::string value;
};
VCardTel vcardTel(int areaCode, std::string_view token);

// The number as text that every reader dials right, with no area code it
// does not have: "(312) 358-9111 x102", "358-9111", "+44-20-7946-0958"; a
// number of the data file as it holds it, its area code in brackets when
// it has one: "(312) 5550187". A vCard 3.0 or 2.1 TEL, a vCard 4.0 TEL of
// VALUE=text, a line on screen.
std::string displayNumber(const PhoneNumber& number);

// The two cells of a CSV row for a data-file entry's number: the area code,
// empty when there is none, and the number token as the file holds it.
struct CsvCells {
    std::string areaCode;
    std::string number;
};
CsvCells csvCells(int areaCode, std::string_view token);

// How well an entry's number answers a caller's.
enum class MatchStrength {
    Exact,       // the same digits and extension
    SameNumber,  // the same number written another way: "+1 312 358 9111"
                 // for 312 358-9111, or an extension the caller does not give
    Weaker,      // seven digits against a full number: one side has no area
                 // code; or the digits alike but for a trunk 0
    None,
};

// Why an entry's number is not the caller's (or, for a Weaker match, why it
// is not certain).
enum class Mismatch {
    None,             // it matches
    OtherNumber,      // other digits
    OtherAreaCode,    // the same seven digits under another area code
    MissingAreaCode,  // one side has no area code (Weaker)
    TrunkZero,        // the same digits but for a trunk 0 and a country
                      // code, neither of them certain (Weaker)
    OtherCountry,     // the same national digits, another country
    OtherExtension,   // the same number, another extension or none
};

struct CallerIdMatch {
    MatchStrength strength = MatchStrength::None;
    Mismatch reason = Mismatch::OtherNumber;
};

CallerIdMatch compareForCallerId(const PhoneNumber& caller, const PhoneNumber& entry);

// Words for messages and output: "exact", "same number", "weaker", "none";
// "other digits", "another area code", "one of the two has no area code",
// "alike but for a trunk 0 or a country code", "another country",
// "another extension".
const char* strengthName(MatchStrength strength);
const char* mismatchText(Mismatch reason);

#endif  // PHONE_PHONE_NUMBER_H
