#include "vcard_import.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "charset.h"

namespace {

char upperByte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = upperByte(c);
    return result;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && upper(text.substr(0, prefix.size())) == prefix;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// ======================================================================
//  Properties: [group.]NAME;PARAM=VALUE;...:value
// ======================================================================

// The properties read; every other one is skipped unread.
bool isKept(std::string_view name) {
    return name == "BEGIN" || name == "END" || name == "N" || name == "FN" || name == "TEL" ||
           name == "AGENT" || name == "CATEGORIES";
}

// What a card may hold that an entry has no room for, and how the line
// that counts them names it. Properties of no use to a reader of the
// directory (VERSION, UID, REV, PRODID...) are left out.
struct NotKept {
    const char* name;
    const char* one;
    const char* many;
};
constexpr NotKept kNotKept[] = {
    {"EMAIL", "e-mail address", "e-mail addresses"},
    {"ADR", "postal address", "postal addresses"},
    {"LABEL", "address label", "address labels"},
    {"NOTE", "note", "notes"},
    {"PHOTO", "photo", "photos"},
    {"LOGO", "logo", "logos"},
    {"SOUND", "sound", "sounds"},
    {"BDAY", "birthday", "birthdays"},
    {"ANNIVERSARY", "anniversary", "anniversaries"},
    {"X-ANNIVERSARY", "anniversary", "anniversaries"},
    {"ORG", "organisation", "organisations"},
    {"TITLE", "job title", "job titles"},
    {"ROLE", "role", "roles"},
    {"URL", "web address", "web addresses"},
    {"NICKNAME", "nickname", "nicknames"},
    {"IMPP", "instant-messaging address", "instant-messaging addresses"},
    {"X-AIM", "instant-messaging address", "instant-messaging addresses"},
    {"X-ICQ", "instant-messaging address", "instant-messaging addresses"},
    {"X-JABBER", "instant-messaging address", "instant-messaging addresses"},
    {"X-MSN", "instant-messaging address", "instant-messaging addresses"},
    {"X-SKYPE", "instant-messaging address", "instant-messaging addresses"},
    {"X-YAHOO", "instant-messaging address", "instant-messaging addresses"},
    {"X-SOCIALPROFILE", "social profile", "social profiles"},
    {"RELATED", "related person", "related people"},
    {"CATEGORIES", "list of categories", "lists of categories"},
    {"GEO", "location", "locations"},
    {"TZ", "time zone", "time zones"},
    {"KEY", "public key", "public keys"},
    {"GENDER", "gender", "genders"},
};
constexpr std::size_t kNotKeptKinds = sizeof kNotKept / sizeof kNotKept[0];
constexpr std::size_t kindOf(std::string_view name) {
    std::size_t k = 0;
    while (k < kNotKeptKinds && kNotKept[k].name != name) ++k;
    return k;
}
constexpr std::size_t kCategoriesKind = kindOf("CATEGORIES");
static_assert(kCategoriesKind < kNotKeptKinds);

using NotKeptCounts = std::array<long long, kNotKeptKinds>;

// "6 e-mail addresses, 1 photo": the counts in the table's order, those
// of one wording added up.
std::string notKeptList(const NotKeptCounts& counts) {
    std::string list;
    for (std::size_t k = 0; k < kNotKeptKinds; ++k) {
        long long count = 0;
        bool first = true;
        for (std::size_t same = 0; same < kNotKeptKinds; ++same) {
            if (std::string_view(kNotKept[same].one) != kNotKept[k].one) continue;
            first = first && same >= k;
            count += counts[same];
        }
        if (!first || count == 0) continue;
        list += (list.empty() ? "" : ", ") + counted(count, kNotKept[k].one, kNotKept[k].many);
    }
    return list;
}

struct Property {
    std::string name;  // upper case, without its group
    std::string encoding, charset;
    std::vector<std::string> types;  // upper case
    int preference = PhoneValue::kNotPreferred;
    std::string_view value;
};

// Splits text at each sep outside double quotes.
std::vector<std::string_view> splitOutsideQuotes(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    bool inQuotes = false;
    std::size_t from = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '"') inQuotes = !inQuotes;
        if (text[k] == sep && !inQuotes) {
            parts.push_back(text.substr(from, k - from));
            from = k + 1;
        }
    }
    parts.push_back(text.substr(from));
    return parts;
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

int preferenceValue(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 1000) return 1;
        value = value * 10 + (c - '0');
    }
    return text.empty() ? 1 : value;
}

void addType(Property& property, std::string type) {
    if (type == "PREF") property.preference = std::min(property.preference, 1);
    if (property.types.size() < 16) property.types.push_back(std::move(type));
}

void addParameter(Property& property, std::string_view parameter) {
    std::size_t equals = parameter.find('=');
    std::string key = upper(parameter.substr(0, equals));
    if (equals == std::string_view::npos) {
        // vCard 2.1 writes most parameters bare: TEL;CELL;PREF:...
        if (key == "QUOTED-PRINTABLE" || key == "BASE64" || key == "8BIT" || key == "7BIT") {
            property.encoding = key;
        } else {
            addType(property, key);
        }
        return;
    }
    std::string_view value = unquoted(parameter.substr(equals + 1));
    if (key == "ENCODING") {
        property.encoding = upper(value);
    } else if (key == "CHARSET") {
        property.charset = upper(value);
    } else if (key == "PREF") {
        property.preference = std::min(property.preference, preferenceValue(value));
    } else if (key == "TYPE") {
        for (std::string_view type : splitOutsideQuotes(value, ',')) addType(property, upper(unquoted(type)));
    }
}

// head is the content line up to its first colon outside quotes.
Property parseProperty(std::string_view head, std::string_view value) {
    Property property;
    std::vector<std::string_view> parts = splitOutsideQuotes(head, ';');
    std::string name = upper(parts[0]);
    std::size_t dot = name.rfind('.');
    property.name = dot == std::string::npos ? name : name.substr(dot + 1);
    for (std::size_t k = 1; k < parts.size(); ++k) addParameter(property, parts[k]);
    property.value = value;
    return property;
}

// ======================================================================
//  Values: quoted-printable, base64, character sets, escapes
// ======================================================================

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = upperByte(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string decoded;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '=' && k + 2 < text.size() && hexValue(text[k + 1]) >= 0 &&
            hexValue(text[k + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[k + 1]) * 16 + hexValue(text[k + 2]));
            k += 2;
        } else {
            decoded += text[k];
        }
    }
    return decoded;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Base64, blanks and padding skipped.
std::string decodeBase64(std::string_view text) {
    std::string decoded;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        int value = base64Value(c);
        if (value < 0) continue;
        bits = (bits << 6 | static_cast<unsigned>(value)) & 0xFFFFFF;
        count += 6;
        if (count >= 8) {
            count -= 8;
            decoded += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return decoded;
}

// The value's bytes as UTF-8 (a character set it does not know fails the
// contact); a value with no character set named is taken as it stands.
std::string decodedValue(const Property& property, Contact& contact) {
    const std::string& encoding = property.encoding;
    std::string value = encoding == "QUOTED-PRINTABLE"            ? decodeQuotedPrintable(property.value)
                        : encoding == "BASE64" || encoding == "B" ? decodeBase64(property.value)
                                                                  : std::string(property.value);
    const std::string& charset = property.charset;
    if (charset.empty() || charset == "UTF-8" || charset == "UTF8") return value;
    CharsetText converted = convertToUtf8(value, charset);
    if (converted.outcome == CharsetOutcome::Unknown) {
        contact.fail("its " + property.name + " is in the character set " + quoted(charset) +
                     ", which this system cannot convert");
        return "";
    }
    if (converted.outcome == CharsetOutcome::Replaced) {
        contact.note("its " + property.name + " holds bytes that are not " + quoted(charset) +
                     ": each is written as U+FFFD");
    }
    return std::move(converted.text);
}

// The components of a structured value, split at each unescaped ";",
// with their escapes undone: \\ \, \; and \n (a line end).
std::vector<std::string> components(std::string_view value) {
    std::vector<std::string> parts(1);
    for (std::size_t k = 0; k < value.size(); ++k) {
        char c = value[k];
        if (c == '\\' && k + 1 < value.size()) {
            char next = value[++k];
            if (next == 'n' || next == 'N') {
                parts.back() += '\n';
            } else if (next == '\\' || next == ',' || next == ';' || next == ':') {
                parts.back() += next;
            } else {
                parts.back() += c;
                parts.back() += next;
            }
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// Hands add each item of a list value, split at each unescaped ",", with
// its escapes undone.
template <typename Add>
void forEachListItem(std::string_view value, Add add) {
    std::string item;
    for (std::size_t k = 0; k < value.size(); ++k) {
        char c = value[k];
        if (c == '\\' && k + 1 < value.size() &&
            std::string_view("\\,;:").find(value[k + 1]) != std::string_view::npos) {
            item += value[++k];
        } else if (c == ',') {
            add(item);
            item.clear();
        } else {
            item += c;
        }
    }
    add(item);
}

// The text of an unstructured value: its components joined again.
std::string textValue(std::string_view value) {
    std::vector<std::string> parts = components(value);
    std::string text = parts[0];
    for (std::size_t k = 1; k < parts.size(); ++k) text += ";" + parts[k];
    return text;
}

// Lines no one answers: a number of one of these types goes after every
// voice number of the card.
bool isVoice(const std::vector<std::string>& types) {
    for (const std::string& type : types) {
        if (type == "FAX" || type == "PAGER" || type == "MODEM" || type == "BBS" || type == "TEXTPHONE")
            return false;
    }
    return true;
}

// ======================================================================
//  Cards
// ======================================================================

struct OpenCard {
    Contact contact;
    bool haveN = false, haveFn = false;
    bool agentFollows = false;  // the last property was a 2.1 AGENT whose card comes next
    NotKeptCounts notKept{};
};

class CardReader {
public:
    // taken: where the cards taken are kept past the file, when several are
    // read as one; then what they held is told by notKeptOfVCards.
    CardReader(const TakeContact& take, Reporter& reporter, TakenCards* taken = nullptr, std::size_t file = 0)
        : take_(take), reporter_(reporter), shared_(taken), file_(file) {}

    // A content line whose head ends at colon, the first colon outside quotes.
    void contentLine(std::string_view text, std::size_t colon, long long line, bool cut) {
        Property property = parseProperty(text.substr(0, colon), text.substr(colon + 1));
        std::string value = upper(withoutTrailingBlanks(property.value));
        if (property.name == "BEGIN" && value == "VCARD") {
            begin(line);
        } else if (property.name == "END" && value == "VCARD") {
            if (unread_ > 0) {
                --unread_;
            } else if (!open_.empty()) {
                end();
            }
        } else if (unread_ == 0 && !open_.empty()) {
            cardProperty(property, cut);
        }
    }

    // A property skipped unread, named name (upper case, without its group).
    void skipped(std::string_view name) {
        if (open_.empty() || unread_ > 0) return;
        for (std::size_t k = 0; k < kNotKeptKinds; ++k) {
            if (name == kNotKept[k].name) ++open_.back().notKept[k];
        }
    }

    void endOfFile(long long line) {
        if (!open_.empty()) {
            std::string why =
                "the file ends at line " + std::to_string(line) + " inside this card, which has no END";
            if (nested()) {
                failNest(why, cards_ - nestFrom_);
            } else {
                reporter_.report(open_.back().contact.line, Severity::Warning,
                                 why + ": it is read as far as it goes");
                end();
            }
        }
        if (shared_) return;
        reporter_.notKept(
            notKeptOfVCards(taken_, [&](const TakenCard& card) { return reporter_.written(card.line); }));
    }

    long long cards() const { return cards_; }

private:
    static constexpr std::size_t kDepthLimit = 4;
    // Cards inside one card held until it ends; more are not written.
    static constexpr std::size_t kHeldLimit = 4;

    void begin(long long line) {
        ++cards_;
        if (unread_ > 0) {
            // Inside a card too deep to read, every card is one more level:
            // should one of them have no END, the levels never come back to
            // none, and the outermost card fails for want of its own.
            ++unread_;
            return;
        }
        if (!open_.empty() && open_.back().agentFollows && open_.size() == kDepthLimit) {
            open_.back().agentFollows = false;
            unread_ = 1;
            reporter_.report(line, Severity::Error,
                             "a card inside the card of line " + std::to_string(open_.back().contact.line) +
                                 " (its AGENT) is " + std::to_string(kDepthLimit + 1) +
                                 " cards deep, deeper than this program reads: it and the cards inside it "
                                 "are not written");
            return;
        }
        if (!open_.empty() && open_.back().agentFollows) {
            open_.back().agentFollows = false;
            reporter_.report(line, Severity::Warning,
                             "a card inside the card of line " + std::to_string(open_.back().contact.line) +
                                 " (its AGENT): read as a contact of its own");
        } else if (!open_.empty()) {
            std::string why =
                "this card has no END: it ends where the next card begins, at line " + std::to_string(line);
            if (nested()) {
                failNest(why, cards_ - nestFrom_ - 1);  // not the card that begins here
            } else {
                reporter_.report(open_.back().contact.line, Severity::Warning, why);
                end();
            }
        }
        if (open_.empty()) nestFrom_ = cards_;
        open_.emplace_back();
        open_.back().contact.line = line;
    }

    // The innermost card ends. One inside another is held until the
    // outermost ends with its END: should any END be missing, which card a
    // number after an END belongs to cannot be told.
    void end() {
        if (open_.size() > 1 && held_.size() == kHeldLimit) {
            reporter_.report(open_.back().contact.line, Severity::Error,
                             "the card of line " + std::to_string(open_.front().contact.line) +
                                 " holds more than " + std::to_string(kHeldLimit) +
                                 " cards (AGENT): this one is not written");
        } else if (open_.size() > 1) {
            held_.push_back(std::move(open_.back()));
        } else {
            for (OpenCard& card : held_) hand(card);
            held_.clear();
            hand(open_.back());
        }
        open_.pop_back();
    }

    void hand(OpenCard& card) {
        if (!take_(card.contact)) return;
        (shared_ ? *shared_ : taken_)
            .push_back(
                {file_, card.contact.line, std::vector<long long>(card.notKept.begin(), card.notKept.end())});
    }

    // The outermost card holds cards inside it.
    bool nested() const { return open_.size() > 1 || !held_.empty(); }

    // The outermost card ends without its END while it holds cards: none
    // of them is written.
    void failNest(const std::string& why, long long inside) {
        reporter_.report(open_.front().contact.line, Severity::Error,
                         why +
                             "; as a card inside it (AGENT) may lack its END too, which number is whose "
                             "cannot be told: it and the " +
                             counted(inside, "card", "cards") + " inside it are not written");
        open_.clear();
        held_.clear();
        unread_ = 0;
    }

    void cardProperty(const Property& property, bool cut) {
        OpenCard& card = open_.back();
        Contact& contact = card.contact;
        card.agentFollows = false;
        if (cut && property.name != "AGENT" && property.name != "CATEGORIES") {
            contact.fail("its " + property.name + " is longer than " + std::to_string(kValueLimit) +
                         " bytes, far beyond any name or number");
            return;
        }
        if (property.name == "N" && !card.haveN) {
            card.haveN = true;
            std::vector<std::string> parts = components(decodedValue(property, contact));
            contact.last = parts[0];
            if (parts.size() > 1) contact.first = parts[1];
        } else if (property.name == "FN" && !card.haveFn) {
            card.haveFn = true;
            contact.fullName = textValue(decodedValue(property, contact));
        } else if (property.name == "TEL") {
            // A tel: URI keeps its scheme and parameters: the number's reading
            // takes in ;ext= and ;phone-context=.
            contact.addPhone(
                {textValue(decodedValue(property, contact)), property.preference, isVoice(property.types)});
        } else if (property.name == "CATEGORIES") {
            // Read to choose by, and not kept. Groups that cannot be read
            // (a character set the system does not know) are not told of,
            // nor do they keep the contact from being written.
            ++card.notKept[kCategoriesKind];
            Contact unread;
            forEachListItem(decodedValue(property, unread),
                            [&](const std::string& group) { contact.addGroup(group); });
        } else if (property.name == "AGENT") {
            std::string_view value = withoutTrailingBlanks(property.value);
            if (value.empty()) {
                card.agentFollows = true;
            } else if (startsWithNoCase(value, "BEGIN:VCARD")) {
                contact.note("its AGENT, a card written inside a value, is not read");
            }
        }
    }

    const TakeContact& take_;
    Reporter& reporter_;
    std::vector<OpenCard> open_;  // the innermost last; at most kDepthLimit
    std::vector<OpenCard> held_;  // ended inside open_.front(), in the order they ended
    long long nestFrom_ = 0;      // cards_ when open_.front() began
    // Cards open inside the innermost of open_, too deep to read: only
    // their BEGINs and ENDs are matched, so that none of what they hold
    // goes to a card around them.
    long long unread_ = 0;
    long long cards_ = 0;
    // The contacts taken, and what they held that is not kept.
    TakenCards taken_;
    TakenCards* shared_;
    std::size_t file_;
};

// Physical lines made into content lines: folded lines joined, and
// quoted-printable values continued after a soft line break (an "=" at the
// end of a line). Only what a kept property needs is kept.
class Unfolder {
public:
    explicit Unfolder(CardReader& cards) : cards_(cards) {}

    void line(const std::string& text, long long number, bool cut, int last) {
        if (text.empty() && !cut) {
            finish();
            return;
        }
        if (active_ && softBreak_) {
            append(text, cut);
        } else if (active_ && (text[0] == ' ' || text[0] == '\t')) {
            append(std::string_view(text).substr(1), cut);
        } else {
            finish();
            active_ = true;
            line_ = number;
            append(text, cut);
        }
        softBreak_ = quotedPrintable_ && last == '=';
        if (softBreak_ && keep_ && !cut_ && !text_.empty() && text_.back() == '=') text_.pop_back();
    }

    void finish() {
        if (active_ && headKnown_ && keep_) cards_.contentLine(text_, scanned_, line_, cut_);
        active_ = headKnown_ = quotedPrintable_ = softBreak_ = cut_ = inQuotes_ = false;
        keep_ = true;
        scanned_ = 0;
        text_.clear();
    }

private:
    void append(std::string_view piece, bool cut) {
        if (!keep_) return;
        std::size_t room = kValueLimit - text_.size();
        if (piece.size() > room || cut) cut_ = true;
        text_.append(piece.substr(0, std::min(room, piece.size())));
        if (!headKnown_) findHead();
    }

    // Once the colon that ends the head is there: whether the property is
    // one to keep, and whether its value is quoted-printable.
    void findHead() {
        for (; scanned_ < text_.size(); ++scanned_) {
            char c = text_[scanned_];
            if (c == '"') inQuotes_ = !inQuotes_;
            if (c == ':' && !inQuotes_) break;
        }
        if (scanned_ == text_.size()) {
            if (cut_) keep_ = false;  // a head longer than any value: nothing to read
            return;
        }
        headKnown_ = true;
        std::string_view head = std::string_view(text_).substr(0, scanned_);
        std::string name = upper(head.substr(0, std::min(head.find(';'), head.size())));
        std::size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.erase(0, dot + 1);
        quotedPrintable_ = upper(head).find("QUOTED-PRINTABLE") != std::string::npos;
        keep_ = isKept(name);
        if (!keep_) {
            text_.clear();
            cards_.skipped(name);
        }
    }

    CardReader& cards_;
    std::string text_;  // the content line so far
    long long line_ = 0;
    bool active_ = false;
    bool headKnown_ = false;
    bool keep_ = true;
    bool quotedPrintable_ = false;
    bool softBreak_ = false;
    bool cut_ = false;
    bool inQuotes_ = false;
    std::size_t scanned_ = 0;  // bytes of text_ searched for the head's colon
};

}  // namespace

std::string notKeptOfVCards(const TakenCards& taken, const std::function<bool(const TakenCard&)>& written) {
    NotKeptCounts notKept{};  // of the contacts written
    for (const TakenCard& card : taken) {
        if (!written(card)) continue;
        for (std::size_t k = 0; k < kNotKeptKinds && k < card.notKept.size(); ++k)
            notKept[k] += card.notKept[k];
    }
    return notKeptList(notKept);
}

long long readVCards(TextSource& source, const TakeContact& take, Reporter& reporter, TakenCards* taken,
                     std::size_t file) {
    CardReader cards(take, reporter, taken, file);
    Unfolder unfolder(cards);
    std::string text;
    bool cut = false;
    int last = -1;
    long long number = 0;
    while (true) {
        source.skipMarks(number + 1, reporter);
        if (!source.readLine(text, kValueLimit, cut, last)) break;
        unfolder.line(text, ++number, cut, last);
    }
    unfolder.finish();
    cards.endOfFile(number);
    return cards.cards();
}
