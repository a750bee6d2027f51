#include "import.h"

#include <algorithm>

#include "csv_import.h"
#include "data_file.h"
#include "fit.h"
#include "table.h"
#include "vcard_import.h"

namespace {

// Messages kept to tell; past this many, they are only counted.
constexpr std::size_t kMessageLimit = 200;
// Contacts past the 16th named one by one; the rest are counted.
constexpr std::size_t kNamedPastFull = 3;

class Importer : public Reporter {
public:
    Importer(const Choice& choice, const Room& room) : room_(room) {
        for (const std::string& name : choice.categories) {
            std::string folded = groupKey(name);
            anyStarred_ = anyStarred_ || isFavourites(folded);
            categories_.push_back(std::move(folded));
        }
    }

    // The file read from now on, of several.
    void startFile(std::size_t file) { file_ = file; }

    void report(long long line, Severity severity, std::string text) override {
        tell({line, severity, std::move(text), file_});
    }

    void notKept(std::string list) override {
        if (!list.empty()) result_.notKept = "not kept, as an entry holds a name and one number: " + list;
    }

    // Of the file being read: line numbers start again in each file.
    bool written(long long line) const override { return written(file_, line); }

    bool written(std::size_t file, long long line) const {
        auto at = [&](const Held& held) { return held.entry.file == file && held.entry.line == line; };
        return std::any_of(starred_.begin(), starred_.end(), at) ||
               std::any_of(plain_.begin(), plain_.begin() + static_cast<std::ptrdiff_t>(plainWritten()), at);
    }

    // True when the contact is taken: written, unless favourites after it
    // take its place.
    bool contact(const Contact& contact) {
        if (!chosen(contact)) {
            ++notChosen_;
            return false;
        }
        Fitted fitted = fitContact(contact);
        if (!fitted.entry) {
            for (Message& message : fitted.messages) {
                if (message.severity == Severity::Error)
                    report(message.line, message.severity, std::move(message.text));
            }
            return false;
        }
        fitted.entry->file = file_;
        for (Message& message : fitted.messages) message.file = file_;
        std::vector<Held>& held = contact.starred ? starred_ : plain_;
        // Where room decides (a merge), it does so in file order: it takes
        // at most the directory's 16.
        bool kept = room_ ? room_(*fitted.entry) : held.size() < static_cast<std::size_t>(kSlotCount);
        if (!kept) {
            leftOut(*fitted.entry);
            return false;
        }
        held.push_back({std::move(*fitted.entry), std::move(fitted.messages)});
        return true;
    }

    // files: the names of the files read, when there are several.
    ImportResult finish(const std::vector<std::string>& files = {}) {
        // The contacts left out, in file order: those that came when their
        // kind was full, and the others the favourites took the place of.
        long long count = pastFull_;
        for (std::size_t k = plainWritten(); k < plain_.size(); ++k, ++count) {
            firstLeftOut_.push_back(
                {plain_[k].entry.file, plain_[k].entry.line, quotedName(plain_[k].entry)});
        }
        std::stable_sort(firstLeftOut_.begin(), firstLeftOut_.end(), [](const LeftOut& a, const LeftOut& b) {
            return a.file != b.file ? a.file < b.file : a.line < b.line;
        });
        for (std::size_t k = 0; k < firstLeftOut_.size() && k < kNamedPastFull; ++k) {
            tell({firstLeftOut_[k].line, Severity::Error,
                  firstLeftOut_[k].name + ": the directory holds " + std::to_string(kSlotCount) +
                      " entries, and a 17th would stop it; not written",
                  firstLeftOut_[k].file});
        }
        plain_.resize(plainWritten());
        for (std::vector<Held>* held : {&starred_, &plain_}) {
            for (Held& one : *held) {
                for (Message& message : one.messages) tell(std::move(message));
                result_.entries.push_back(std::move(one.entry));
            }
        }
        if (notChosen_ > 0) {
            result_.notChosen = counted(notChosen_, "contact", "contacts") +
                                " not in the categories asked for " + (notChosen_ == 1 ? "is" : "are") +
                                " not written";
        }
        // Where room decides, the entries kept are not the whole directory.
        if (!room_) checkSameLastNames(result_.entries, result_.messages, files);
        std::stable_sort(result_.messages.begin(), result_.messages.end(), toldBefore);
        if (count > static_cast<long long>(kNamedPastFull)) {
            result_.messages.push_back({firstLeftOut_[kNamedPastFull].line, Severity::Error,
                                        std::to_string(count - static_cast<long long>(kNamedPastFull)) +
                                            " more contacts from this line on are not written either: the "
                                            "directory holds " +
                                            std::to_string(kSlotCount) + " entries",
                                        firstLeftOut_[kNamedPastFull].file});
        }
        if (untold_ > 0) {
            result_.messages.push_back(
                {untoldFrom_.line, untoldErrors_ > 0 ? Severity::Error : Severity::Warning,
                 std::to_string(untold_) + " more messages from this line on are not shown (" +
                     std::to_string(untoldErrors_) + " errors, " + std::to_string(untold_ - untoldErrors_) +
                     " warnings)",
                 untoldFrom_.file});
        }
        return std::move(result_);
    }

private:
    // An entry taken, and what to tell about it once it is written.
    struct Held {
        LoadedEntry entry;
        Messages messages;
    };
    struct LeftOut {
        std::size_t file;
        long long line;
        std::string name;
    };

    void tell(Message message) {
        result_.errors = result_.errors || message.severity == Severity::Error;
        if (result_.messages.size() < kMessageLimit) {
            result_.messages.push_back(std::move(message));
            return;
        }
        if (untold_ == 0 || toldBefore(message, untoldFrom_))
            untoldFrom_ = {message.line, Severity::Warning, "", message.file};
        ++untold_;
        untoldErrors_ += message.severity == Severity::Error ? 1 : 0;
    }

    bool chosen(const Contact& contact) const {
        if (categories_.empty() || (anyStarred_ && contact.starred)) return true;
        return std::any_of(contact.groups.begin(), contact.groups.end(), [&](const std::string& group) {
            return std::find(categories_.begin(), categories_.end(), group) != categories_.end();
        });
    }

    // Of the other contacts taken, those written: the room the favourites
    // leave, or all that room took.
    std::size_t plainWritten() const {
        if (room_) return plain_.size();
        return std::min(plain_.size(), static_cast<std::size_t>(kSlotCount) - starred_.size());
    }

    // A contact that fits, after 16 of its kind or refused by room; the
    // first few are kept, to be named.
    void leftOut(const LoadedEntry& entry) {
        result_.errors = true;
        if (++pastFull_ <= static_cast<long long>(kNamedPastFull) + 1)
            firstLeftOut_.push_back({entry.file, entry.line, quotedName(entry)});
    }

    const Room& room_;
    std::size_t file_ = 0;
    std::vector<std::string> categories_;  // by their groupKey
    bool anyStarred_ = false;              // categories_ holds a name for favourites
    std::vector<Held> starred_, plain_;    // each at most kSlotCount, in file order
    std::vector<LeftOut> firstLeftOut_;    // at most kNamedPastFull + 1, then those of plain_ left out
    ImportResult result_;
    long long pastFull_ = 0;
    long long notChosen_ = 0;
    long long untold_ = 0, untoldErrors_ = 0;
    Message untoldFrom_{0, Severity::Warning, "", 0};  // where the first message not kept is
};

// Reads the contacts of source into importer; returns why it cannot be
// read, or "".
std::string importInto(Importer& importer, std::istream& source, Format format, TakenCards* taken = nullptr,
                       std::size_t file = 0) {
    TextSource text(source);
    auto take = [&](Contact& contact) { return importer.contact(contact); };
    std::string nothing;  // what the file would hold, when it holds no contact
    if (format == Format::VCard) {
        if (readVCards(text, take, importer, taken, file) == 0)
            nothing = "no vCard in the file: a vCard starts with a line BEGIN:VCARD";
    } else {
        CsvRead read = readCsvContacts(text, take, importer);
        if (!read.columnsFound) {
            nothing =
                "no column of names or phone numbers in the first row: " +
                (read.unplaced.empty() ? std::string()
                                       : "none of " + read.unplaced + " is one this program knows; ") +
                "a CSV file of contacts starts with a header row naming its columns, such as First Name, "
                "Last Name and Phone";
        } else if (read.rows == 0) {
            nothing = "no contacts: the file holds a header row and no row after it";
        }
    }
    if (text.readFailed()) return text.failure();
    if (text.bytesRead() == 0) nothing = "the file is empty: no contacts to convert";
    if (!nothing.empty()) importer.report(1, Severity::Error, nothing);
    return "";
}

ImportResult failed(std::string failure, std::size_t file) {
    ImportResult result;
    result.failure = std::move(failure);
    result.failedFile = file;
    return result;
}

}  // namespace

ImportResult importContacts(std::istream& source, Format format, const Choice& choice, const Room& room) {
    Importer importer(choice, room);
    std::string failure = importInto(importer, source, format);
    if (!failure.empty()) return failed(failure, 0);
    return importer.finish();
}

ImportResult importVCardFiles(const std::vector<std::string>& paths, const Choice& choice, const Room& room) {
    Importer importer(choice, room);
    TakenCards taken;  // at most twice the directory's 16
    for (std::size_t k = 0; k < paths.size(); ++k) {
        importer.startFile(k);
        OpenedFile file = openDataFile(paths[k]);
        if (!file.isOpen()) return failed(file.failure, k);
        std::string failure = importInto(importer, file.stream, Format::VCard, &taken, k);
        if (!failure.empty()) return failed(failure, k);
    }
    importer.notKept(notKeptOfVCards(
        taken, [&](const TakenCard& card) { return importer.written(card.file, card.line); }));
    return importer.finish(paths);
}
