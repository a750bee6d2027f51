// Findings about the file's layout: one entry of four fields a line.
#include "check_findings.h"
#include "file_text.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The last line the load read from: where it stopped, or its last token.
int lastLineRead(const LoadResult& loaded) {
    int line = 0;
    for (const EntryRead& entry : loaded.entries) {
        for (const TokenRead* token : {&entry.first, &entry.last, &entry.code, &entry.phone})
            if (token->present && token->line > line) line = token->line;
    }
    return line;
}

// How many fields each line holds, for lines 1 to lastLine (index 0 unused).
std::vector<int> fieldsPerLine(const std::string& content, int lastLine) {
    std::vector<int> fields(static_cast<std::size_t>(lastLine) + 1, 0);
    int line = 1;
    bool inField = false;
    for (std::size_t at = 0; at < content.size() && line <= lastLine; ++at) {
        bool space = isFieldSpace(content[at]);
        if (!space && !inField) ++fields[static_cast<std::size_t>(line)];
        inField = !space;
        if (content[at] == '\n') ++line;
    }
    return fields;
}

std::string fieldCountMessage(int count) {
    std::string message = "line holds " + std::to_string(count) + (count == 1 ? " field" : " fields") +
                          ", not the 4 of one entry (first name, last name, area code, number): ";
    if (count % 4 == 0)
        return message + std::to_string(count / 4) + " entries on one line, where one a line is the custom";
    if (count > 4) return message + "a blank inside a name or number is the usual cause";
    return message + "a field is missing, or the entry goes on on the next line";
}

}  // namespace

void checkLayout(const LoadResult& loaded, const std::string& content, Findings& findings) {
    if (content.compare(0, 3, kByteOrderMark) == 0) {
        findings.push_back({1, 1, Severity::Warning,
                            "a UTF-8 byte-order mark starts the file: the directory takes it as part of the "
                            "first name, which then cannot be found"});
    }
    std::vector<int> fields = fieldsPerLine(content, lastLineRead(loaded));
    for (std::size_t line = 1; line < fields.size(); ++line) {
        int count = fields[line];
        if (count != 0 && count != 4)
            findings.push_back({static_cast<int>(line), 1, Severity::Warning, fieldCountMessage(count)});
    }
}
