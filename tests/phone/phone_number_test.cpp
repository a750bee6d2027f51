#include "phone_number.h"

#include <gtest/gtest.h>

namespace {

using K = NumberKind;
using C = Certainty;

// Each form read: what the unit knows of it, and the data file's two fields.
TEST(ReadPhoneNumber, EveryForm) {
    struct Row {
        const char* text;
        K kind;
        C certainty;
        int countryCode;
        const char* national;
        const char* extension;
        int areaCode;       // the data file's
        const char* token;  // the data file's
    };
    const Row rows[] = {
        {"358-9111", K::Local, C::None, 0, "3589111", "", 0, "358-9111"},
        {"3589111", K::Local, C::None, 0, "3589111", "", 0, "358-9111"},
        {"(312) 358-9111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"312 358 9111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"312.358.9111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"312/358-9111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"3123589111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"1-312-358-9111", K::NorthAmerican, C::Plan, 1, "3123589111", "", 312, "358-9111"},
        {"1 (212) 555-0199", K::NorthAmerican, C::Plan, 1, "2125550199", "", 212, "555-0199"},
        {"13866192019", K::NorthAmerican, C::Guessed, 1, "3866192019", "", 386, "619-2019"},
        {"1 386 619 2019", K::NorthAmerican, C::Plan, 1, "3866192019", "", 386, "619-2019"},
        {"138 6619 2019", K::NorthAmerican, C::Guessed, 1, "3866192019", "", 386, "619-2019"},
        {"+1 312 358 9111", K::NorthAmerican, C::Written, 1, "3123589111", "", 312, "358-9111"},
        {" +13125550100 ", K::NorthAmerican, C::Written, 1, "3125550100", "", 312, "555-0100"},
        {"tel:+1-312-358-9111", K::NorthAmerican, C::Written, 1, "3123589111", "", 312, "358-9111"},
        {"TEL:+1-418-656-9254;ext=102", K::NorthAmerican, C::Written, 1, "4186569254", "102", 418,
         "656-9254x102"},
        {"tel:358-9111;phone-context=+1-312", K::NorthAmerican, C::Written, 1, "3123589111", "", 312,
         "358-9111"},
        {"tel:358-9111;phone-context=example.com", K::Local, C::None, 0, "3589111", "", 0, "358-9111"},
        {"1-800-555-0199 ext. 12", K::NorthAmerican, C::Plan, 1, "8005550199", "12", 800, "555-0199x12"},
        {"(418) 656-9254 x102", K::NorthAmerican, C::Plan, 1, "4186569254", "102", 418, "656-9254x102"},
        {"656-9254x102", K::Local, C::None, 0, "6569254", "102", 0, "656-9254x102"},
        {"312 358 9111 ext 7", K::NorthAmerican, C::Plan, 1, "3123589111", "7", 312, "358-9111x7"},
        {"312 358 9111 #7", K::NorthAmerican, C::Plan, 1, "3123589111", "7", 312, "358-9111x7"},
        {"312 358 9111;ext=7", K::NorthAmerican, C::Plan, 1, "3123589111", "7", 312, "358-9111x7"},
        {"312 358 9111 Extension: 7", K::NorthAmerican, C::Plan, 1, "3123589111", "7", 312, "358-9111x7"},
        {"+44 20 7946 0958", K::International, C::Written, 44, "2079460958", "", 0, "+44-20-7946-0958"},
        {"+44 (0)20 7946 0958", K::International, C::Written, 44, "2079460958", "", 0, "+44-20-7946-0958"},
        {"+49(721)123456", K::International, C::Written, 49, "721123456", "", 0, "+49-721-123456"},
        {"+442079460958", K::International, C::Written, 44, "2079460958", "", 0, "+442079460958"},
        {"+33 1 42 68 53 00", K::International, C::Written, 33, "142685300", "", 0, "+33-1-42-68-53-00"},
        {"+86 138 6619 2019", K::International, C::Written, 86, "13866192019", "", 0, "+86-138-6619-2019"},
        {"+353 1 234 5678 x9", K::International, C::Written, 353, "12345678", "9", 0, "+353-1-234-5678x9"},
        {"+7 495 123-45-67", K::International, C::Written, 7, "4951234567", "", 0, "+7-495-123-45-67"},
        {"(0) +33685733244", K::International, C::Written, 33, "685733244", "", 0, "+33685733244"},
        {"(0) 555-0199", K::Local, C::None, 0, "5550199", "", 0, "555-0199"},
        {"(0) 03456-78910", K::Digits, C::None, 0, "0345678910", "", 0, "03456-78910"},
        {"0721 123456", K::Digits, C::None, 0, "0721123456", "", 0, "0721-123456"},
        {"0123456789", K::Digits, C::None, 0, "0123456789", "", 0, "0123456789"},
        {"2121234567", K::Digits, C::None, 0, "2121234567", "", 0, "2121234567"},  // exchange 1
        {"123-4567", K::Digits, C::None, 0, "1234567", "", 0, "123-4567"},
        {"312 555 0100 1", K::Digits, C::None, 0, "31255501001", "", 0, "312-555-0100-1"},
        {"+1 123 456 7890", K::Digits, C::None, 0, "11234567890", "", 0, "+1-123-456-7890"},
        {"(48) 555-0110", K::Digits, C::None, 0, "485550110", "", 48, "555-0110"},
        {"(-5) 555-0100", K::Digits, C::None, 0, "55550100", "", -5, "555-0100"},
        {"(0312) 555-0100", K::Digits, C::None, 0, "03125550100", "", 0, "(0312)-555-0100"},
        {"(12) 345 678", K::Digits, C::None, 0, "12345678", "", 0, "(12)-345-678"},
        {"?", K::NotANumber, C::None, 0, "", "", 0, "?"},
        {"business", K::NotANumber, C::None, 0, "", "", 0, "business"},
        {"business 1", K::NotANumber, C::None, 0, "", "", 0, "business-1"},
        {"+49 BUSINESS", K::NotANumber, C::None, 0, "", "", 0, "+49-BUSINESS"},
        {"1-800-FLOWERS", K::NotANumber, C::None, 0, "", "", 0, "1-800-FLOWERS"},
        {"358-9111 xyz", K::NotANumber, C::None, 0, "", "", 0, "358-9111-xyz"},
        {"12", K::NotANumber, C::None, 0, "", "", 0, "12"},
        {"+", K::NotANumber, C::None, 0, "", "", 0, "+"},
        {"+35", K::NotANumber, C::None, 0, "", "", 0, "+35"},
        {"tel:", K::NotANumber, C::None, 0, "", "", 0, ""},
        {"", K::NotANumber, C::None, 0, "", "", 0, ""},
    };
    for (const Row& row : rows) {
        PhoneNumber number = readPhoneNumber(row.text);
        EXPECT_EQ(number.kind, row.kind) << row.text;
        EXPECT_EQ(number.certainty, row.certainty) << row.text;
        EXPECT_EQ(number.countryCode, row.countryCode) << row.text;
        if (row.kind != K::NotANumber) {
            EXPECT_EQ(number.national, row.national) << row.text;
        }
        EXPECT_EQ(number.extension, row.extension) << row.text;
        EntryNumber entry = entryNumber(number);
        EXPECT_EQ(entry.areaCode, row.areaCode) << row.text;
        EXPECT_EQ(entry.token, row.token) << row.text;
        // What the data file holds reads back as the same number.
        PhoneNumber back = readEntryNumber(entry.areaCode, entry.token);
        EXPECT_EQ(entryNumber(back).token, entry.token) << row.text;
        EXPECT_EQ(entryNumber(back).areaCode, entry.areaCode) << row.text;
        EXPECT_EQ(back.extension, number.extension) << row.text;
        if (row.kind != K::NotANumber) {
            EXPECT_EQ(back.national, number.national) << row.text;
        }
    }
}

// Each writer, for a data-file entry: none prints area code 0, none adds a
// digit, and the import reads each back as the entry.
TEST(PhoneNumberWriters, EachUse) {
    struct Row {
        int areaCode;
        const char* token;
        const char* uri;
        const char* shown;
        const char* csvAreaCode;
    };
    const Row rows[] = {
        {312, "358-9111", "tel:+1-312-358-9111", "(312) 358-9111", "312"},
        {418, "656-9254x102", "tel:+1-418-656-9254;ext=102", "(418) 656-9254x102", "418"},
        {0, "555-0199", "", "555-0199", ""},
        {0, "555-0199x3", "", "555-0199x3", ""},
        {0, "+44-20-7946-0958", "tel:+44-20-7946-0958", "+44-20-7946-0958", ""},
        {0, "+33685733244", "tel:+33685733244", "+33685733244", ""},
        {0, "+44-(0)20-7946-0958", "tel:+44-20-7946-0958", "+44-(0)20-7946-0958", ""},
        {0, "03456-78910", "", "03456-78910", ""},
        {48, "555-0110", "", "(48) 555-0110", "48"},
        {312, "5550187", "tel:+1-312-555-0187", "(312) 5550187", "312"},
        {312, "business", "", "(312) business", "312"},
        {0, "?", "", "?", ""},
    };
    for (const Row& row : rows) {
        PhoneNumber number = readEntryNumber(row.areaCode, row.token);
        EXPECT_EQ(telUri(number), row.uri) << row.token;
        VCardTel tel = vcardTel(row.areaCode, row.token);
        EXPECT_EQ(tel.value, tel.uri ? row.uri : row.shown) << row.token;
        const std::string token = row.token;
        bool usual = token != "5550187";
        EXPECT_EQ(tel.uri, usual && *row.uri != '\0') << row.token;
        // The import reads the vCard's value back as the two fields.
        EntryNumber back = entryNumber(readPhoneNumber(tel.value));
        EXPECT_EQ(back.areaCode, row.areaCode) << row.token;
        EXPECT_EQ(back.token, token == "+44-(0)20-7946-0958" ? "+44-20-7946-0958" : token) << row.token;
        EXPECT_EQ(displayNumber(number), row.shown) << row.token;
        CsvCells cells = csvCells(row.areaCode, row.token);
        EXPECT_EQ(cells.areaCode, row.csvAreaCode) << row.token;
        EXPECT_EQ(cells.number, row.token) << row.token;
        EXPECT_NE(displayNumber(number).rfind("(0) ", 0), 0u) << row.token;
        for (const std::string& written : {telUri(number), displayNumber(number)}) {
            if (written.empty()) continue;
            PhoneNumber back = readPhoneNumber(written);
            EXPECT_EQ(back.national, number.national) << written;
            EXPECT_EQ(back.extension, number.extension) << written;
        }
    }
}

TEST(IsUsualToken, SevenDigitsAndAnExtension) {
    for (const char* token : {"358-9111", "656-9254x102", "055-0199"})
        EXPECT_TRUE(isUsualToken(token)) << token;
    for (const char* token : {"3589111", "358-9111x", "358-9111x1a", "358-91111", "358.9111", "?", ""})
        EXPECT_FALSE(isUsualToken(token)) << token;
}

// Each form of the caller's number against each form of entry.
TEST(CompareForCallerId, Strengths) {
    using S = MatchStrength;
    using M = Mismatch;
    struct Row {
        const char* caller;
        int areaCode;
        const char* token;
        S strength;
        M reason;
    };
    const Row rows[] = {
        {"312 358-9111", 312, "358-9111", S::Exact, M::None},
        {"(312) 358-9111", 312, "358-9111", S::Exact, M::None},
        {"3123589111", 312, "358-9111", S::Exact, M::None},
        {"+1 312 358 9111", 312, "358-9111", S::SameNumber, M::None},
        {"1 312 358 9111", 312, "358-9111", S::Exact, M::None},
        {"13123589111", 312, "358-9111", S::SameNumber, M::None},
        {"tel:+1-312-358-9111", 312, "358-9111", S::SameNumber, M::None},
        {"+1 312 358 9111", 0, "358-9111", S::Weaker, M::MissingAreaCode},
        {"358-9111", 312, "358-9111", S::Weaker, M::MissingAreaCode},
        {"358-9111", 0, "358-9111", S::Exact, M::None},
        {"+1 706 358 9111", 312, "358-9111", S::None, M::OtherAreaCode},
        {"+1 312 358 9112", 312, "358-9111", S::None, M::OtherNumber},
        {"+1 418 656 9254", 418, "656-9254x102", S::SameNumber, M::None},
        {"+1 418 656 9254 x102", 418, "656-9254x102", S::SameNumber, M::None},
        {"418 656 9254 x102", 418, "656-9254x102", S::Exact, M::None},
        {"+1 418 656 9254 x103", 418, "656-9254x102", S::None, M::OtherExtension},
        {"+1 418 656 9254 x103", 418, "656-9254", S::None, M::OtherExtension},
        {"+44 20 7946 0958", 0, "+44-20-7946-0958", S::Exact, M::None},
        {"+44 (0)20 7946 0958", 0, "+44-20-7946-0958", S::Exact, M::None},
        {"+442079460958", 0, "+44-20-7946-0958", S::Exact, M::None},
        {"+33 20 7946 0958", 0, "+44-20-7946-0958", S::None, M::OtherCountry},
        {"442079460958", 0, "+44-20-7946-0958", S::SameNumber, M::None},
        {"+48 555 0110", 48, "555-0110", S::SameNumber, M::None},
        {"485550110", 48, "555-0110", S::SameNumber, M::None},
        {"(48) 555-0110", 48, "555-0110", S::Exact, M::None},
        {"+86 138 6619 2019", 0, "+86-138-6619-2019", S::Exact, M::None},
        {"13866192019", 0, "+86-138-6619-2019", S::SameNumber, M::None},  // taken as +1 first
        {"+86 138 6619 2019", 386, "619-2019", S::None, M::OtherCountry},
        {"13866192019", 386, "619-2019", S::SameNumber, M::None},
        {"312 358-9111", 0, "business", S::None, M::OtherNumber},
        {"0721 123456", 0, "0721-123456", S::Exact, M::None},
    };
    for (const Row& row : rows) {
        CallerIdMatch match =
            compareForCallerId(readPhoneNumber(row.caller), readEntryNumber(row.areaCode, row.token));
        EXPECT_EQ(strengthName(match.strength), std::string(strengthName(row.strength)))
            << row.caller << " against " << row.areaCode << " " << row.token;
        EXPECT_EQ(mismatchText(match.reason), std::string(mismatchText(row.reason)))
            << row.caller << " against " << row.areaCode << " " << row.token;
    }
}

}  // namespace
