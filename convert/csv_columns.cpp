#include "csv_columns.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ascii.h"
#include "latin_folding.h"

namespace {

// The longest key kept of a name: no name this program knows is longer.
constexpr std::size_t kKeyLimit = 48;

struct ColumnName {
    const char* name;  // as the export writes it; compared by nameKey()
    Role role;
};

// The column names this program knows, by where they come from. Outlook's
// are those of its "Comma Separated Values" export, which names the columns
// in the language of the Office installed; Google's those of its "Google
// CSV" export. The English names are those this program has long read. The
// other languages' Outlook names are Outlook's own translations as known
// from its exports, not checked here against a file of each: the first and
// last name, business, home and mobile phone, business fax and categories
// are the most widely seen and the surest; the rarer lines (car, callback,
// radio, assistant, TTY/TDD) the least sure. Google's names in the other
// languages (its newer export writes them in the user's language) are
// assumed from its own wording of those fields, unconfirmed. Names a
// spreadsheet of one's own is likely to use are added for each language.
// Letter case, accents, blanks and punctuation are not compared: "Telefon
// geschäftlich" is "TELEFON GESCHAFTLICH" and "telefon_geschäftlich".
constexpr ColumnName kColumns[] = {
    // This program's own export.
    {"First Name", Role::FirstName},
    {"Last Name", Role::LastName},
    {"Area Code", Role::AreaCode},
    {"Number", Role::Phone},
    // Outlook and Thunderbird, English; Google's newer export (First Name,
    // Middle Name, Last Name, Labels, Phone 1 - Label, Phone 1 - Value) and
    // its older one (Name, Given Name, Family Name, Group Membership, Phone
    // 1 - Type, Phone 1 - Value); Apple Contacts.
    {"Given Name", Role::FirstName},           // Google (older), Apple
    {"Family Name", Role::LastName},           // Google (older)
    {"Surname", Role::LastName},               // Apple
    {"Name", Role::NameOrLast},                // Google (older): the full name
    {"Display Name", Role::FullName},          // Thunderbird
    {"Labels", Role::GoogleGroups},            // Google (newer); Dutch and German too
    {"Group Membership", Role::GoogleGroups},  // Google (older)
    {"Categories", Role::Categories},          // Outlook; French "Catégories" too
    {"Primary Phone", Role::PreferredPhone},   // Outlook
    {"Mobile Phone", Role::Phone},             // Outlook
    {"Mobile Number", Role::Phone},            // Thunderbird
    {"Mobile", Role::Phone},                   // Apple; French Google
    {"Home Phone", Role::Phone},               // Outlook, Thunderbird
    {"Home Phone 2", Role::Phone},             // Outlook
    {"Business Phone", Role::Phone},           // Outlook
    {"Business Phone 2", Role::Phone},         // Outlook
    {"Work Phone", Role::Phone},               // Thunderbird
    {"Company Main Phone", Role::Phone},       // Outlook
    {"Other Phone", Role::Phone},              // Outlook
    {"Car Phone", Role::Phone},                // Outlook
    {"Callback", Role::Phone},                 // Outlook
    {"Assistant's Phone", Role::Phone},        // Outlook
    {"Radio Phone", Role::Phone},              // Outlook
    {"ISDN", Role::Phone},                     // Outlook, every language
    {"Business Fax", Role::OtherLine},         // Outlook
    {"Home Fax", Role::OtherLine},             // Outlook
    {"Other Fax", Role::OtherLine},            // Outlook
    {"Fax Number", Role::OtherLine},           // Thunderbird
    {"Pager", Role::OtherLine},                // Outlook, also Portuguese
    {"Pager Number", Role::OtherLine},         // Thunderbird
    {"TTY/TDD Phone", Role::OtherLine},        // Outlook
    // Spreadsheets, English.
    {"First", Role::FirstName},
    {"Forename", Role::FirstName},
    {"Last", Role::LastName},
    {"Full Name", Role::FullName},
    {"Phone", Role::Phone},
    {"Phone Number", Role::Phone},
    {"Telephone", Role::Phone},
    {"Telephone Number", Role::Phone},
    {"Tel", Role::Phone},
    {"Cell Phone", Role::Phone},
    {"Cell", Role::Phone},
    {"Fax", Role::OtherLine},

    // German. Outlook; Google (Vorname, Nachname, Labels, Telefon 1 - Wert);
    // spreadsheets: "Vorwahl_Tel;Telefonnummer;Name;Vorname", where Name is
    // the family name and Vorwahl the area code.
    {"Vorname", Role::FirstName},
    {"Nachname", Role::LastName},
    {"Telefon geschäftlich", Role::Phone},
    {"Telefon geschäftlich 2", Role::Phone},
    {"Telefon privat", Role::Phone},
    {"Telefon privat 2", Role::Phone},
    {"Mobiltelefon", Role::Phone},
    {"Mobiltelefon 2", Role::Phone},
    {"Autotelefon", Role::Phone},
    {"Telefon Firma", Role::Phone},
    {"Weiteres Telefon", Role::Phone},
    {"Rückmeldung", Role::Phone},
    {"Telefon Assistent", Role::Phone},
    {"Funktelefon", Role::Phone},
    {"Haupttelefon", Role::PreferredPhone},
    {"Fax geschäftlich", Role::OtherLine},
    {"Fax privat", Role::OtherLine},
    {"Weiteres Fax", Role::OtherLine},
    {"Telefon für Hörbehinderte", Role::OtherLine},
    {"Kategorien", Role::Categories},
    {"Vorwahl", Role::AreaCode},
    {"Vorwahl Tel", Role::AreaCode},
    {"Telefon", Role::Phone},
    {"Telefonnummer", Role::Phone},
    {"Handy", Role::Phone},
    {"Mobil", Role::Phone},

    // French. Outlook; Google (Prénom, Nom de famille, Libellés, Téléphone 1
    // - Valeur); spreadsheets.
    {"Prénom", Role::FirstName},
    {"Nom", Role::NameOrLast},
    {"Nom de famille", Role::LastName},
    {"Nom complet", Role::FullName},
    {"Téléphone bureau", Role::Phone},
    {"Téléphone 2 bureau", Role::Phone},
    {"Téléphone domicile", Role::Phone},
    {"Téléphone 2 domicile", Role::Phone},
    {"Tél. mobile", Role::Phone},
    {"Téléphone mobile", Role::Phone},
    {"Téléphone (voiture)", Role::Phone},
    {"Téléphone société", Role::Phone},
    {"Téléphone (autre)", Role::Phone},
    {"Rappel", Role::Phone},
    {"Téléphone de l'assistant", Role::Phone},
    {"Radio téléphone", Role::Phone},
    {"RNIS", Role::Phone},
    {"Téléphone principal", Role::PreferredPhone},
    {"Télécopie bureau", Role::OtherLine},
    {"Télécopie domicile", Role::OtherLine},
    {"Télécopie (autre)", Role::OtherLine},
    {"Récepteur de radiomessagerie", Role::OtherLine},
    {"Téléphone TDD/TTY", Role::OtherLine},
    {"Libellés", Role::GoogleGroups},
    {"Numéro de téléphone", Role::Phone},
    {"Portable", Role::Phone},

    // Spanish. Outlook; Google (Nombre, Apellido, Etiquetas, Teléfono 1 -
    // Valor); spreadsheets.
    {"Nombre", Role::NameOrFirst},
    {"Apellidos", Role::LastName},
    {"Apellido", Role::LastName},
    {"Nombre completo", Role::FullName},
    {"Teléfono del trabajo", Role::Phone},
    {"Teléfono del trabajo 2", Role::Phone},
    {"Particular", Role::Phone},
    {"Particular 2", Role::Phone},
    {"Teléfono particular", Role::Phone},
    {"Móvil", Role::Phone},
    {"Teléfono móvil", Role::Phone},
    {"Teléfono del automóvil", Role::Phone},
    {"Número de centralita de la organización", Role::Phone},
    {"Otro teléfono", Role::Phone},
    {"Devolución de llamada", Role::Phone},
    {"Teléfono del ayudante", Role::Phone},
    {"Radioteléfono", Role::Phone},  // Italian "Radiotelefono" too
    {"RDSI", Role::Phone},
    {"Teléfono principal", Role::PreferredPhone},
    {"Fax del trabajo", Role::OtherLine},
    {"Fax particular", Role::OtherLine},  // Portuguese too
    {"Otro fax", Role::OtherLine},
    {"Localizador", Role::OtherLine},
    {"Teléfono TTY/TDD", Role::OtherLine},  // Italian "Telefono TTY/TDD" too
    {"Categorías", Role::Categories},       // Portuguese "Categorias" too
    {"Etiquetas", Role::GoogleGroups},
    {"Teléfono", Role::Phone},  // Italian "Telefono" too
    {"Número de teléfono", Role::Phone},
    {"Celular", Role::Phone},  // Brazilian Portuguese too
    {"Prefijo", Role::AreaCode},

    // Italian. Outlook; Google (Nome, Cognome, Etichette, Telefono 1 -
    // Valore); spreadsheets.
    {"Nome", Role::NameOrFirst},  // Portuguese too
    {"Cognome", Role::LastName},
    {"Nome completo", Role::FullName},  // Portuguese too
    {"Ufficio", Role::Phone},
    {"Ufficio 2", Role::Phone},
    {"Telefono ufficio", Role::Phone},
    {"Abitazione", Role::Phone},
    {"Abitazione 2", Role::Phone},
    {"Telefono abitazione", Role::Phone},
    {"Cellulare", Role::Phone},
    {"Telefono auto", Role::Phone},
    {"Telefono principale società", Role::Phone},
    {"Altro telefono", Role::Phone},
    {"Richiamata automatica", Role::Phone},
    {"Telefono assistente", Role::Phone},
    {"Telefono principale", Role::PreferredPhone},
    {"Fax ufficio", Role::OtherLine},
    {"Fax abitazione", Role::OtherLine},
    {"Altro fax", Role::OtherLine},
    {"Cercapersone", Role::OtherLine},
    {"Categorie", Role::Categories},
    {"Etichette", Role::GoogleGroups},
    {"Numero di telefono", Role::Phone},
    {"Prefisso", Role::AreaCode},

    // Dutch. Outlook; Google (Voornaam, Achternaam, Labels, Telefoon 1 -
    // Waarde); spreadsheets.
    {"Voornaam", Role::FirstName},
    {"Achternaam", Role::LastName},
    {"Naam", Role::NameOrLast},
    {"Volledige naam", Role::FullName},
    {"Telefoon op werk", Role::Phone},
    {"Telefoon op werk 2", Role::Phone},
    {"Telefoon thuis", Role::Phone},
    {"Telefoon thuis 2", Role::Phone},
    {"Mobiele telefoon", Role::Phone},
    {"Autotelefoon", Role::Phone},
    {"Hoofdtelefoon bedrijf", Role::Phone},
    {"Ander telefoonnummer", Role::Phone},
    {"Terugbellen", Role::Phone},
    {"Telefoon assistent", Role::Phone},
    {"Radiotelefoon", Role::Phone},
    {"Hoofdtelefoon", Role::PreferredPhone},
    {"Fax op werk", Role::OtherLine},
    {"Fax thuis", Role::OtherLine},
    {"Andere fax", Role::OtherLine},
    {"Pieper", Role::OtherLine},
    {"Teksttelefoon", Role::OtherLine},
    {"Categorieën", Role::Categories},
    {"Telefoon", Role::Phone},
    {"Telefoonnummer", Role::Phone},
    {"Mobiel", Role::Phone},
    {"Netnummer", Role::AreaCode},

    // Portuguese. Outlook of Portugal (Nome, Apelido) and of Brazil (Nome,
    // Sobrenome; its "Apelido" is the nickname, and comes after
    // "Sobrenome": the leftmost last name is read); Google (Nome,
    // Sobrenome, Marcadores, Telefone 1 - Valor); spreadsheets.
    {"Nome próprio", Role::FirstName},
    {"Apelido", Role::LastName},
    {"Sobrenome", Role::LastName},
    {"Telefone comercial", Role::Phone},
    {"Telefone comercial 2", Role::Phone},
    {"Telefone particular", Role::Phone},
    {"Telefone particular 2", Role::Phone},
    {"Telefone residencial", Role::Phone},
    {"Telemóvel", Role::Phone},
    {"Telefone do automóvel", Role::Phone},
    {"Telefone principal da empresa", Role::Phone},
    {"Outro telefone", Role::Phone},
    {"Chamada de retorno", Role::Phone},
    {"Telefone do assistente", Role::Phone},
    {"Radiotelefone", Role::Phone},
    {"RDIS", Role::Phone},
    {"Telefone principal", Role::PreferredPhone},
    {"Fax comercial", Role::OtherLine},
    {"Fax residencial", Role::OtherLine},
    {"Outro fax", Role::OtherLine},
    {"Telefone TTY/TDD", Role::OtherLine},
    {"Marcadores", Role::GoogleGroups},
    {"Telefone", Role::Phone},
    {"Número de telefone", Role::Phone},
    {"Indicativo", Role::AreaCode},
    {"DDD", Role::AreaCode},
};

struct Key {
    std::string key;
    Role role;
};

// kColumns by key, sorted.
const std::vector<Key>& columnKeys() {
    static const std::vector<Key> keys = [] {
        std::vector<Key> made;
        for (const ColumnName& column : kColumns)
            made.push_back({nameKey(column.name, kKeyLimit), column.role});
        std::sort(made.begin(), made.end(), [](const Key& a, const Key& b) { return a.key < b.key; });
        return made;
    }();
    return keys;
}

bool isOneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* one) { return word == one; });
}

// Google's numbered phone columns, "Phone 3 - Value" (or Type, or Label),
// in each language: "Telefon 3 – Wert", "Téléphone 3 – Valeur"...
std::optional<KnownColumn> googlePhoneColumn(const std::string& key) {
    for (const char* word : {"phone", "telefon", "telephone", "telefono", "telefoon", "telefone"}) {
        std::size_t at = std::string_view(word).size();
        if (key.compare(0, at, word) != 0) continue;
        std::size_t digits = at;
        int number = 0;
        while (at < key.size() && isAsciiDigit(key[at]) && number < 10000)
            number = number * 10 + (key[at++] - '0');
        if (at == digits) continue;
        std::string part = key.substr(at);
        if (isOneOf(part, {"value", "wert", "valeur", "valor", "valore", "waarde"}))
            return KnownColumn{Role::Phone, number};
        if (isOneOf(part, {"type", "label", "typ", "libelle", "tipo", "etiqueta", "etichetta", "rotulo"}))
            return KnownColumn{Role::PhoneType, number};
    }
    return std::nullopt;
}

}  // namespace

std::optional<KnownColumn> knownColumn(std::string_view name) {
    std::string key = nameKey(name, kKeyLimit);
    if (std::optional<KnownColumn> google = googlePhoneColumn(key)) return google;
    const std::vector<Key>& keys = columnKeys();
    auto at = std::lower_bound(keys.begin(), keys.end(), key,
                               [](const Key& a, const std::string& b) { return a.key < b; });
    if (at == keys.end() || at->key != key) return std::nullopt;
    return KnownColumn{at->role};
}
