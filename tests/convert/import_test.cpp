// The import's pieces where a fault would hide from the case folders: the
// text source at its chunk boundaries, the number and text rules row by row,
// and the limits that keep memory bounded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fit.h"
#include "import.h"
#include "latin_folding.h"
#include "text_source.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunk = 1 << 16;  // the text source's read size

std::vector<std::string> linesOf(const std::string& bytes) {
    std::istringstream stream(bytes);
    TextSource source(stream);
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    int last = -1;
    while (source.readLine(line, 1 << 20, cut, last)) lines.push_back(line);
    return lines;
}

TEST(TextSource, LineEndsAcrossChunkBoundaries) {
    // CR CR LF split after the first CR, and after the second.
    for (std::size_t before : {kChunk - 1, kChunk - 2}) {
        std::string text = std::string(before, 'a') + "\r\r\nb\rc\r\rd\n";
        std::vector<std::string> lines = linesOf(text);
        ASSERT_EQ(lines.size(), 5u) << before;
        EXPECT_EQ(lines[0], std::string(before, 'a'));
        EXPECT_EQ(lines[1], "b");
        EXPECT_EQ(lines[2], "c");
        EXPECT_EQ(lines[3], "");  // CR CR alone is two line ends, CR CR LF one
        EXPECT_EQ(lines[4], "d");
    }
}

TEST(TextSource, Utf16AcrossChunkBoundaries) {
    // A surrogate pair split between two chunks, an unpaired surrogate, and
    // a last byte that is half a unit.
    std::string text = "\xFF\xFE";
    while (text.size() < kChunk - 2) text += std::string("x\0", 2);
    text += "\x34\xD8\x1E\xDD";  // U+1D11E
    text += std::string("\n\0\x00\xDC!\0", 6);
    text += "\n";
    std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string((kChunk - 4) / 2, 'x') + "\xF0\x9D\x84\x9E");
    EXPECT_EQ(lines[1], "\xED\xB0\x80!\xEF\xBF\xBD");  // the surrogate left for the reader to tell of
    // A high surrogate the file ends after.
    EXPECT_EQ(linesOf(std::string("\xFF\xFE"
                                  "a\0\x00\xD8",
                                  6)),
              std::vector<std::string>{"a\xED\xA0\x80"});
}

// Collects what a reader tells.
class Collected : public Reporter {
public:
    void report(long long line, Severity, std::string) override { lines.push_back(line); }
    void notKept(std::string) override {}
    std::vector<long long> lines;
};

TEST(TextSource, MarksAtLineStartsSkipped) {
    // A mark split by the chunk boundary, one inside a line (kept), and two
    // at the start of one line.
    std::string text =
        std::string(kChunk - 2, 'a') + "\n\xEF\xBB\xBF" + "b\xEF\xBB\xBF\n\xEF\xBB\xBF\xEF\xBB\xBF" + "c";
    std::istringstream stream(text);
    TextSource source(stream);
    Collected told;
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    int last = -1;
    while (source.skipMarks(static_cast<long long>(lines.size()) + 1, told),
           source.readLine(line, kChunk, cut, last))
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "b\xEF\xBB\xBF");
    EXPECT_EQ(lines[2], "c");
    EXPECT_EQ(told.lines, (std::vector<long long>{2, 3, 3}));
}

TEST(TextSource, PeekAndUnread) {
    std::string longLine(3 * kChunk, 'p');
    std::istringstream stream(longLine + "\nq\n");
    TextSource source(stream);
    EXPECT_EQ(source.peekLine(1 << 20).size(), longLine.size());
    EXPECT_EQ(source.peekLine(10), "pppppppppp");
    std::string line;
    bool cut = false;
    int last = -1;
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line.size(), 100u);
    EXPECT_TRUE(cut);
    EXPECT_EQ(last, 'p');
    source.unread("r\n");
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line, "r");
    ASSERT_TRUE(source.readLine(line, 100, cut, last));
    EXPECT_EQ(line, "q");
    EXPECT_FALSE(source.readLine(line, 100, cut, last));
}

TEST(FitNumber, EveryDigitKept) {
    struct Row {
        const char* text;
        int areaCode;
        const char* number;
        bool changed;
    };
    const Row rows[] = {
        {"312 358 9111", 312, "358-9111", false},
        {"(312) 358-9111", 312, "358-9111", false},
        {"312.358.9111", 312, "358-9111", false},
        {"+1 312 358 9111", 312, "358-9111", false},
        {"1-312-358-9111", 312, "358-9111", false},
        {"358-9111", 0, "358-9111", true},
        {"0123456789", 0, "0123456789", true},  // area code starting 0
        {"2121234567", 0, "2121234567", true},  // exchange starting 1
        {"+1 123 456 7890", 0, "+1-123-456-7890", true},
        {"+44 20 7946 0958", 0, "+44-20-7946-0958", true},
        {"+13125550100 ", 312, "555-0100", false},
        {"312 555 0100 1", 0, "312-555-0100-1", true},  // twelve digits
        {"123-4567", 0, "123-4567", true},              // seven, exchange starting 1
        {"(0) 03456-78910", 0, "03456-78910", true},    // the export's form of area code 0
        {"(0312) 555-0100", 0, "(0312)-555-0100", true},
        {"(-5) 555-0100", -5, "555-0100", true},
        {"(-0) 555", 0, "(-0)-555", true},
        {"(99999999999) 5", 0, "(99999999999)-5", true},
        {"(12) 345 678", 0, "(12)-345-678", true},
        {"1-800-FLOWERS", 0, "1-800-FLOWERS", true},
        {"tel:+1-418-656-9254;ext=102", 418, "656-9254x102", false},
        {"1-800-555-0199 ext. 12", 800, "555-0199x12", false},
        {"13866192019", 386, "619-2019", true},  // eleven digits not grouped as North American ones
        {"+44 (0)20 7946 0958", 0, "+44-20-7946-0958", true},
        {"(0) +33685733244", 0, "+33685733244", true},  // the export's form of area code 0
        {"business", 0, "business", true},
    };
    for (const Row& row : rows) {
        FittedNumber fitted = fitNumber(row.text);
        EXPECT_EQ(fitted.areaCode, row.areaCode) << row.text;
        EXPECT_EQ(fitted.number, row.number) << row.text;
        EXPECT_EQ(!fitted.change.empty(), row.changed) << row.text;
    }
}

TEST(CleanText, ShowsAsItReads) {
    struct Row {
        std::string text, cleaned;
        bool controls, notUtf8;
        bool surrogates = false;
    };
    const Row rows[] = {
        {"Müller", "Müller", false, false},
        {"M\xFCller", "Müller", false, true},
        {"\x80uro", "€uro", false, true},
        {"a\tb c", "a\tb c", false, false},  // field separators stay, for the blank rules
        {"a\x1B[2J\x1B[Hb", "ab", true, false},
        {"a\x1B]52;c;ZWNobw==\x07z", "az", true, false},
        {"a\x1B]0;title\x1B\\z", "az", true, false},
        {"a\x1B"
         "cz",
         "az", true, false},
        {"a\x1B", "a", true, false},
        {"a\xC2\x9B"
         "31mz",
         "az", true, false},  // the C1 control sequence introducer
        {"a\xC2\x85z", "az", true, false},
        {"a\x81z", "az", true, true},  // undefined in Windows-1252: a C1 control
        {std::string("J\0o\0", 4), "Jo", true, false},
        {"\xEF\xBB\xBFZo\x7F", "Zo", true, false},
        {"\xE2\x82", "â‚", false, true},  // a sequence cut short
        {"a\x1B\xC3\xA9", "aé", true, false},
        {"Bo\xED\xA0\x80"
         "b",
         "Bo\xEF\xBF\xBD"
         "b",
         false, false, true},  // a surrogate on its own
        {"\xED\xB0\x80\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD", false, false, true},  // low before high
        {"\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80", false, false, false},         // a pair: U+1F600
        {"\xED\x9F\xBF", "\xED\x9F\xBF", false, false, false},  // U+D7FF, just before them
    };
    for (const Row& row : rows) {
        Cleaning cleaning;
        EXPECT_EQ(cleanText(row.text, cleaning), row.cleaned) << row.text;
        EXPECT_EQ(cleaning.controls, row.controls) << row.text;
        EXPECT_EQ(cleaning.notUtf8, row.notUtf8) << row.text;
        EXPECT_EQ(cleaning.surrogates, row.surrogates) << row.text;
    }
}

ImportResult imported(const std::string& bytes, Format format) {
    std::istringstream stream(bytes);
    return importContacts(stream, format);
}

std::string allMessages(const ImportResult& result) {
    std::string text;
    for (const Message& message : result.messages)
        text += std::to_string(message.line) + ": " + message.text + "\n";
    return text;
}

// The header rows of Outlook's and Google's exports in each language, a
// contact under each: a fax column before the phones is no voice line, and
// a preferred phone goes first.
TEST(ImportCsvColumns, ExportsInEachLanguage) {
    struct Row {
        const char *header, *contact, *number;
    };
    const Row rows[] = {
        {"Anrede,Vorname,Weitere Vornamen,Nachname,Firma,Fax geschäftlich,Telefon geschäftlich,Telefon "
         "privat,Mobiltelefon,Kategorien",
         ",Ann,,Lee,Acme,312 555 0199,312 555 0100,,312 555 0101,Freunde", "555-0100"},
        {"Vorname,Zweiter Vorname,Nachname,Labels,Telefon 1 – Label,Telefon 1 – Wert,Telefon 2 – "
         "Label,Telefon 2 "
         "– Wert",
         "Ann,,Lee,* myContacts,Fax,312 555 0199,* Mobil,312 555 0101", "555-0101"},
        {"Titre,Prénom,Deuxième prénom,Nom,Société,Télécopie bureau,Téléphone bureau,Téléphone domicile,Tél. "
         "mobile,Téléphone principal,Catégories",
         ",Ann,,Lee,Acme,312 555 0199,312 555 0100,,,312 555 0102,", "555-0102"},
        {"Prénom,Deuxième prénom,Nom de famille,Libellés,Téléphone 1 – Libellé,Téléphone 1 – Valeur",
         "Ann,,Lee,* myContacts,Mobile,312 555 0101", "555-0101"},
        {"Tratamiento,Nombre,Segundo nombre,Apellidos,Organización,Fax del trabajo,Teléfono del "
         "trabajo,Particular,Móvil,Teléfono principal,Categorías",
         ",Ann,,Lee,Acme,312 555 0199,,312 555 0103,312 555 0101,,", "555-0103"},
        {"Nombre,Segundo nombre,Apellido,Etiquetas,Teléfono 1 – Etiqueta,Teléfono 1 – Valor",
         "Ann,,Lee,,Móvil,312 555 0101", "555-0101"},
        {"Titolo,Nome,Secondo nome,Cognome,Società,Fax ufficio,Ufficio,Abitazione,Cellulare,Telefono "
         "principale,Categorie",
         ",Ann,,Lee,Acme,312 555 0199,,,312 555 0101,,", "555-0101"},
        {"Nome,Secondo nome,Cognome,Etichette,Telefono 1 – Etichetta,Telefono 1 – Valore",
         "Ann,,Lee,,Cellulare,312 555 0101", "555-0101"},
        {"Titel,Voornaam,Middelste naam,Achternaam,Bedrijf,Fax op werk,Telefoon op werk,Telefoon "
         "thuis,Mobiele "
         "telefoon,Hoofdtelefoon,Categorieën",
         ",Ann,,Lee,Acme,312 555 0199,,312 555 0103,,,", "555-0103"},
        {"Voornaam,Tweede voornaam,Achternaam,Labels,Telefoon 1 – Label,Telefoon 1 – Waarde",
         "Ann,,Lee,,Mobiel,312 555 0101", "555-0101"},
        {"Título,Nome,Segundo nome,Apelido,Empresa,Fax comercial,Telefone comercial,Telefone "
         "particular,Telemóvel,Telefone principal,Categorias",
         ",Ann,,Lee,Acme,312 555 0199,312 555 0100,,,,", "555-0100"},
        {"Nome,Segundo nome,Sobrenome,Marcadores,Telefone 1 – Rótulo,Telefone 1 – Valor",
         "Ann,,Lee,,Celular,312 555 0101", "555-0101"},
        // Letter case and Windows-1252 in the header; names told apart by
        // the columns beside them.
        {"PRÉNOM;NOM;TÉLÉPHONE BUREAU", "Ann;Lee;312 555 0100", "555-0100"},
        {"Vorname;Name;Telefon gesch\xE4\x66tlich", "Ann;Lee;312 555 0100", "555-0100"},
        {"Nome;Telefone", "Ann Lee;312 555 0100", "555-0100"},
    };
    for (const Row& row : rows) {
        ImportResult result = imported(std::string(row.header) + "\n" + row.contact + "\n", Format::Csv);
        ASSERT_EQ(result.entries.size(), 1u) << row.header << "\n" << allMessages(result);
        const LoadedEntry& entry = result.entries[0];
        EXPECT_EQ(entry.first + " " + entry.last + " " + std::to_string(entry.areaCode) + " " + entry.number,
                  "Ann Lee 312 " + std::string(row.number))
            << row.header;
    }
}

TEST(LatinFolding, CaseAccentsAndPunctuation) {
    EXPECT_EQ(caseFolded("TÉLÉ Œuvre ŠŽŸ", 64), "télé œuvre šžÿ");
    EXPECT_EQ(caseFolded("M\xDCLLER", 64), "müller");  // Windows-1252
    EXPECT_EQ(nameKey("Téléphone 1 – Valeur", 64), "telephone1valeur");
    EXPECT_EQ(nameKey("Straße × Œ", 64), "strasseoe");
    EXPECT_EQ(nameKey("Телефон", 64), "Телефон");  // other scripts as they are
    EXPECT_EQ(nameKey("abcdef", 3), "abc");
}

// Favourites after the 16th contact take the places of the last others:
// those left out are named in file order, whichever way they were left out.
TEST(ImportChoice, FavouritesFirstAndLeftOutInFileOrder) {
    auto card = [](int k, const char* categories) {
        return "BEGIN:VCARD\nN:F" + std::to_string(k) + ";P\n" + categories + "TEL:312 555 " +
               std::to_string(1000 + k) + "\nEND:VCARD\n";
    };
    std::string cards;
    for (int k = 1; k <= 20; ++k) cards += card(k, "");
    for (int k = 21; k <= 23; ++k) cards += card(k, "CATEGORIES:x,STARRED\n");
    ImportResult result = imported(cards, Format::VCard);
    ASSERT_EQ(result.entries.size(), 16u);
    EXPECT_EQ(result.entries[0].last, "F21");
    EXPECT_EQ(result.entries[3].last, "F1");
    EXPECT_EQ(result.entries[15].last, "F13");
    EXPECT_EQ(
        allMessages(result),
        "53: \"P F14\": the directory holds 16 entries, and a 17th would stop it; not written\n"
        "57: \"P F15\": the directory holds 16 entries, and a 17th would stop it; not written\n"
        "61: \"P F16\": the directory holds 16 entries, and a 17th would stop it; not written\n"
        "65: 4 more contacts from this line on are not written either: the directory holds 16 entries\n");
    // Chosen by group: a name for favourites takes every kind of them.
    std::istringstream stream(card(1, "CATEGORIES:Favorites\n") + card(2, "CATEGORIES:Familie\n") +
                              card(3, "CATEGORIES:famille\n") + card(4, "") +
                              card(5, "CATEGORIES:FAMILIE\n"));
    result = importContacts(stream, Format::VCard, Choice{{"starred", "familie"}});
    std::string lasts;
    for (const LoadedEntry& entry : result.entries) lasts += entry.last + " ";
    EXPECT_EQ(lasts, "F1 F2 F5 ");
    EXPECT_EQ(result.notChosen, "2 contacts not in the categories asked for are not written");
}

// Groups as each export separates them, chosen in any letter case.
TEST(ImportChoice, GroupsOfEachExport) {
    struct Row {
        const char* csv;
        std::vector<std::string> categories;
        const char* lasts;
    };
    const Row rows[] = {
        {"First Name,Last Name,Phone,Categories\nA,Outlook1,312 555 0100,Friends;Family\n"
         "B,Outlook2,312 555 0101,\"Work, HOME \"\nC,Outlook3,312 555 0102,Homework\n",
         {"home", "FAMILY"},
         "Outlook1 Outlook2 "},
        {"Name,Group Membership,Phone 1 - Value\nA Old1,* My Contacts ::: * Starred,312 555 0100\n"
         "B Old2,* My Contacts ::: Club,312 555 0101\nC Old3,Club ::: Starred Club,312 555 0102\n",
         {"Favourites", "my contacts"},
         "Old1 Old2 "},
        {"Name,Group Membership,Phone 1 - Value\nA Old1,* My Contacts,312 555 0100\n"
         "B Old2,Club ::: * Starred,312 555 0101\n",
         {},
         "Old2 Old1 "},
    };
    for (const Row& row : rows) {
        std::istringstream stream(row.csv);
        ImportResult result = importContacts(stream, Format::Csv, Choice{row.categories});
        std::string lasts;
        for (const LoadedEntry& entry : result.entries) lasts += entry.last + " ";
        EXPECT_EQ(lasts, row.lasts) << row.csv << allMessages(result);
    }
}

TEST(ImportNotKept, WhatContactsWrittenHeld) {
    // Kinds of one wording added up; a contact not written not counted.
    std::string cards =
        "BEGIN:VCARD\nN:Smith;Ann\nTEL:312 555 "
        "0100\nEMAIL:a@example.com\nitem1.EMAIL;TYPE=work:b@example.com\n"
        "X-AIM:ann\nIMPP:xmpp:ann@example.com\nADR:;;1 Main St\nX-UNKNOWN:x\nEND:VCARD\n"
        "BEGIN:VCARD\nN:Lee;Cy\nEMAIL:c@example.com\nPHOTO:x\nEND:VCARD\n";
    EXPECT_EQ(imported(cards, Format::VCard).notKept,
              "not kept, as an entry holds a name and one number: 2 e-mail addresses, 1 postal address, 2 "
              "instant-messaging addresses");
    // Eight columns named, the rest counted together; a row that repeats
    // the header and one not written not counted.
    std::string header = "Name,Phone,Notes,E-mail";
    std::string row = "Ann Smith,312 555 0100,n,a@example.com";
    for (int k = 1; k <= 9; ++k) header += ",x" + std::to_string(k), row += ",v";
    std::string csv = header + "\n" + row + "\nBob Jones,,n,\n" + header + "\n" + row + ",extra\n";
    ImportResult result = imported(csv, Format::Csv);
    EXPECT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(imported("Ann,Smith,312 555 0100,a@example.com,\n", Format::Csv).notKept,
              "not kept, as an entry holds a name and one number: 1 value of columns not read");
    EXPECT_EQ(
        result.notKept,
        "not kept, as an entry holds a name and one number: \"Notes\" (2 values), \"E-mail\" (2 values), "
        "\"x1\" (2 values), \"x2\" (2 values), \"x3\" (2 values), \"x4\" (2 values), \"x5\" (2 values), "
        "\"x6\" (2 values), and 7 values of other columns");
}

TEST(ImportNotKept, FolderAddedUpOverItsFiles) {
    // A contact of the first file left out for favourites of the second,
    // on the line of one written there: what it held is not counted, and
    // what the favourites of both files held is.
    fs::path dir = fs::path(::testing::TempDir()) / "import-test-folder";
    fs::create_directories(dir);
    std::string favourite = "BEGIN:VCARD\nN:Fav;F\nCATEGORIES:Favorites\nTEL:312 555 0101\nEND:VCARD\n";
    std::ofstream(dir / "a.vcf") << "BEGIN:VCARD\nN:Plain;Pat\nTEL:312 555 0100\nPHOTO:x\nEND:VCARD\n"
                                 << "BEGIN:VCARD\nN:Fav;A\nCATEGORIES:Favorites\nTEL:312 555 0102\n"
                                    "EMAIL:a@example.com\nEND:VCARD\n";
    std::ofstream b(dir / "b.vcf");
    for (int k = 0; k < 15; ++k) b << favourite;
    b.close();
    ImportResult result = importVCardFiles({(dir / "a.vcf").string(), (dir / "b.vcf").string()});
    fs::remove_all(dir);
    ASSERT_EQ(result.entries.size(), 16u);
    EXPECT_EQ(result.entries[0].first, "A");
    EXPECT_EQ(result.notKept,
              "not kept, as an entry holds a name and one number: 1 e-mail address, 16 lists of categories");
}

TEST(ImportNesting, CardsInsideCards) {
    // Five cards inside one: four are held until it ends, the fifth is not
    // written. Then, inside a card too deep to read, one that begins
    // without an AGENT: a level deeper, so that the ENDs still match.
    std::string cards = "BEGIN:VCARD\nN:Outer;Ann\nTEL:312 555 0100\n";
    for (int k = 1; k <= 5; ++k)
        cards += "AGENT:\nBEGIN:VCARD\nN:In" + std::to_string(k) + ";Bo\nTEL:312 555 010" +
                 std::to_string(k) + "\nEND:VCARD\n";
    cards += "END:VCARD\n";
    std::string deep = "BEGIN:VCARD\nN:Deep;Cy\n";
    for (int k = 1; k <= 4; ++k) deep += "AGENT:\nBEGIN:VCARD\nN:Deep;Cy\n";
    deep += "BEGIN:VCARD\nN:Lost;Di\nEND:VCARD\n" + std::string("TEL:312 555 0109\nEND:VCARD\n") +
            "TEL:312 555 0108\nEND:VCARD\nTEL:312 555 0107\nEND:VCARD\nTEL:312 555 0106\nEND:VCARD\n" +
            "TEL:312 555 0105\nEND:VCARD\n";
    ImportResult result = imported(cards + deep, Format::VCard);
    std::string numbers;
    for (const LoadedEntry& entry : result.entries) numbers += entry.last + " " + entry.number + ", ";
    EXPECT_EQ(numbers,
              "In1 555-0101, In2 555-0102, In3 555-0103, In4 555-0104, Outer 555-0100, Deep 555-0108, Deep "
              "555-0107, Deep 555-0106, Deep 555-0105, ");
    std::string told = allMessages(result);
    EXPECT_NE(told.find("25: the card of line 1 holds more than 4 cards (AGENT): this one is not written"),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("42: a card inside the card of line 39 (its AGENT) is 5 cards deep"),
              std::string::npos)
        << told;
}

TEST(ImportLimits, LongValuesSkippedOrRefused) {
    std::string photo(10 << 20, 'A');
    std::string card = "BEGIN:VCARD\r\nN:Smith;Ann\r\nPHOTO;ENCODING=b:" + photo + "\r\n " + photo +
                       "\r\nTEL:312 555 0100\r\nEND:VCARD\r\n" +
                       "BEGIN:VCARD\r\nN:" + std::string(300 << 10, 'n') +
                       ";Bob\r\nTEL:312 555 0101\r\nEND:VCARD\r\n" + "BEGIN:VCARD\r\n" +
                       std::string(300 << 10, 'h') + "\r\nN:Lee;Cy\r\nTEL:312 555 0102\r\nEND:VCARD\r\n";
    ImportResult result = imported(card, Format::VCard);
    ASSERT_EQ(result.entries.size(), 2u) << allMessages(result);
    EXPECT_EQ(result.entries[0].last, "Smith");
    EXPECT_EQ(result.entries[1].last, "Lee");
    ASSERT_EQ(result.messages.size(), 1u) << allMessages(result);
    EXPECT_NE(result.messages[0].text.find("its N is longer than 262144 bytes"), std::string::npos);
    EXPECT_LT(result.messages[0].text.size(), 200u);
}

TEST(ImportLimits, ContentLineOfTheLimitKeptAndOneByteMoreRefused) {
    for (std::size_t over : {0, 1}) {
        std::string line = "N:Lee;Ann;";  // the rest a middle name
        line += std::string(kValueLimit - line.size() + over, 'm');
        ImportResult result =
            imported("BEGIN:VCARD\r\n" + line + "\r\nTEL:312 555 0100\r\nEND:VCARD\r\n", Format::VCard);
        SCOPED_TRACE(line.size());
        EXPECT_EQ(result.entries.size(), over == 0 ? 1u : 0u) << allMessages(result);
        EXPECT_EQ(result.messages.size(), over == 0 ? 0u : 1u) << allMessages(result);
    }
}

TEST(ImportLimits, QuoteNeverClosedWithinItsLimit) {
    std::string csv = "Name,Phone\nAnn Smith,\"312 555 0100\n";
    for (int k = 0; k < 60000; ++k) csv += "Bob Jones,312 555 0101\n";  // more than 1 MiB
    ImportResult result = imported(csv, Format::Csv);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_NE(result.messages[0].text.find("never closed within 1 MiB"), std::string::npos)
        << result.messages[0].text;
    EXPECT_EQ(result.entries.size(), 16u);
    EXPECT_EQ(result.entries[0].line, 3);
}

TEST(ImportLimits, MessagesCounted) {
    std::string cards;
    for (int k = 0; k < 1000; ++k) cards += "BEGIN:VCARD\nTEL:312 555 0100\nEND:VCARD\n";
    ImportResult result = imported(cards, Format::VCard);
    EXPECT_TRUE(result.entries.empty());
    EXPECT_TRUE(result.errors);
    ASSERT_EQ(result.messages.size(), 201u);
    EXPECT_EQ(result.messages.back().text,
              "800 more messages from this line on are not shown (800 errors, 0 warnings)");
    EXPECT_EQ(result.messages.back().line, 601);
}

}  // namespace
