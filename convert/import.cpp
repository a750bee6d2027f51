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
constexpr long long kNamedPastFull = 3;

class Importer : public Reporter {
public:
    explicit Importer(const Room& room) : room_(room) {}

    // The file read from now on, of several.
    void startFile(std::size_t file) { file_ = file; }

    void report(long long line, Severity severity, std::string text) override {
        result_.errors = result_.errors || severity == Severity::Error;
        if (result_.messages.size() < kMessageLimit) {
            result_.messages.push_back({line, severity, std::move(text), file_});
            return;
        }
        if (untold_ == 0) untoldFrom_ = line, untoldFromFile_ = file_;
        ++untold_;
        untoldErrors_ += severity == Severity::Error ? 1 : 0;
    }

    void notKept(std::string list) override {
        if (!list.empty()) result_.notKept = "not kept, as an entry holds a name and one number: " + list;
    }

    // True when the contact is written.
    bool contact(const Contact& contact) {
        Fitted fitted = fitContact(contact);
        if (!fitted.entry) {
            for (Message& message : fitted.messages) {
                if (message.severity == Severity::Error)
                    report(message.line, message.severity, std::move(message.text));
            }
            return false;
        }
        fitted.entry->file = file_;
        bool kept =
            room_ ? room_(*fitted.entry) : result_.entries.size() < static_cast<std::size_t>(kSlotCount);
        if (!kept) {
            full(*fitted.entry);
            return false;
        }
        for (Message& message : fitted.messages)
            report(message.line, message.severity, std::move(message.text));
        result_.entries.push_back(std::move(*fitted.entry));
        return true;
    }

    // files: the names of the files read, when there are several.
    ImportResult finish(const std::vector<std::string>& files = {}) {
        // Where room decides, the entries kept are not the whole directory.
        if (!room_) checkSameLastNames(result_.entries, result_.messages, files);
        std::stable_sort(result_.messages.begin(), result_.messages.end(), toldBefore);
        if (pastFull_ > kNamedPastFull) {
            result_.messages.push_back({pastFullFrom_, Severity::Error,
                                        std::to_string(pastFull_ - kNamedPastFull) +
                                            " more contacts from this line on are not written either: the "
                                            "directory holds " +
                                            std::to_string(kSlotCount) + " entries",
                                        pastFullFromFile_});
        }
        if (untold_ > 0) {
            result_.messages.push_back({untoldFrom_, untoldErrors_ > 0 ? Severity::Error : Severity::Warning,
                                        std::to_string(untold_) +
                                            " more messages from this line on are not shown (" +
                                            std::to_string(untoldErrors_) + " errors, " +
                                            std::to_string(untold_ - untoldErrors_) + " warnings)",
                                        untoldFromFile_});
        }
        return std::move(result_);
    }

private:
    // A contact that fits, for which there is no room.
    void full(const Entry& entry) {
        result_.errors = true;
        if (++pastFull_ <= kNamedPastFull) {
            report(entry.line, Severity::Error,
                   quotedName(entry) + ": the directory holds " + std::to_string(kSlotCount) +
                       " entries, and a 17th would stop it; not written");
        } else if (pastFull_ == kNamedPastFull + 1) {
            pastFullFrom_ = entry.line, pastFullFromFile_ = file_;
        }
    }

    const Room& room_;
    std::size_t file_ = 0;
    ImportResult result_;
    long long pastFull_ = 0, pastFullFrom_ = 0;
    long long untold_ = 0, untoldErrors_ = 0, untoldFrom_ = 0;
    std::size_t pastFullFromFile_ = 0, untoldFromFile_ = 0;
};

// Reads the contacts of source into importer; returns why it cannot be
// read, or "".
std::string importInto(Importer& importer, std::istream& source, Format format) {
    TextSource text(source);
    auto take = [&](Contact& contact) { return importer.contact(contact); };
    std::string nothing;  // what the file would hold, when it holds no contact
    if (format == Format::VCard) {
        if (readVCards(text, take, importer) == 0)
            nothing = "no vCard in the file: a vCard starts with a line BEGIN:VCARD";
    } else {
        CsvRead read = readCsvContacts(text, take, importer);
        if (!read.columnsFound) {
            nothing =
                "no column of names or phone numbers in the first row: a CSV file of contacts starts with a "
                "header row naming its columns, such as First Name, Last Name and Phone";
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

ImportResult importContacts(std::istream& source, Format format, const Room& room) {
    Importer importer(room);
    std::string failure = importInto(importer, source, format);
    if (!failure.empty()) return failed(failure, 0);
    return importer.finish();
}

ImportResult importVCardFiles(const std::vector<std::string>& paths, const Room& room) {
    Importer importer(room);
    for (std::size_t k = 0; k < paths.size(); ++k) {
        importer.startFile(k);
        OpenedFile file = openDataFile(paths[k]);
        if (!file.isOpen()) return failed(file.failure, k);
        std::string failure = importInto(importer, file.stream, Format::VCard);
        if (!failure.empty()) return failed(failure, k);
    }
    return importer.finish(paths);
}
