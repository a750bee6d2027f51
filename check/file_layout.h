// The data file's layout as telelist-check reads past it: how many fields
// each line holds, whether a byte-order mark starts it, and the lines that
// are not UTF-8. Memory stays
// small whatever the file: only lines the load reached that hold other
// than one entry are kept.
#ifndef CHECK_FILE_LAYOUT_H
#define CHECK_FILE_LAYOUT_H

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "entry_reader.h"
#include "load.h"
#include "non_utf8_lines.h"

struct LineFields {
    long long line;
    long long fields;
};

class FileLayout final : public ByteObserver {
public:
    void passed(std::string_view bytes) override;

    // The load is over: lines after its last token are no longer kept.
    // When an area code that is not a number stopped it, the lines with
    // text after that one are counted from here on.
    void loadEnded(const LoadResult& loaded);
    // The file has ended, perhaps without a final line end.
    void fileEnded();

    bool startsWithByteOrderMark() const;
    // Lines up to the load's last that hold fields, but not four, in order.
    const std::vector<LineFields>& oddLines() const { return oddLines_; }
    // Lines with text after the area code that stopped the load.
    long long textLinesAfter() const { return textLinesAfter_; }
    // Lines up to the load's last (a 17th entry's included) that hold
    // bytes that are not UTF-8, in order.
    const std::vector<NonUtf8Line>& nonUtf8Lines() const { return nonUtf8_.lines(); }

private:
    void endLine();

    std::string head_;  // the file's first bytes, up to three
    long long line_ = 1;
    long long fields_ = 0;  // on line_ so far
    bool inField_ = false;
    long long lastLine_ = LLONG_MAX;
    long long countAfterLine_ = LLONG_MAX;
    long long textLinesAfter_ = 0;
    std::vector<LineFields> oddLines_;
    NonUtf8Lines nonUtf8_;
};

#endif  // CHECK_FILE_LAYOUT_H
