// Writing the converter's result to the file named by -o.
#ifndef CONVERT_OUTPUT_FILE_H
#define CONVERT_OUTPUT_FILE_H

#include <functional>
#include <string>
#include <string_view>

// A result a piece at a time: handed a sink, it gives it each piece in
// turn, and stops when the sink returns false (the write failed). A result
// never has to be held whole.
using PieceSink = std::function<bool(std::string_view)>;
using Pieces = std::function<void(const PieceSink&)>;

// Writes content to target so that a reader finds either the old file or
// the whole new one: a temporary file in target's folder is written, flushed
// to disk and renamed over it. On POSIX systems, symbolic links are followed
// to the file they name, which is replaced; a FIFO or a device is written
// into instead; the new file keeps the old one's owner and group where this
// run may set them and its permission bits but set-user-ID and set-group-ID.
// A descriptor named as a path (/dev/stdout, /dev/fd/N, /proc/PID/fd/N) is
// written into too: one of this process through the descriptor itself, where
// it stands (appending when it appends), another's opened anew to append.
// On failure target is left as it was and no temporary file remains; the
// reason is returned ("cannot write: No space left on device"), on success
// the empty text. Other hard links to the file replaced keep its old
// content: on success, how many it had goes to *otherLinks where given.
std::string writeOutputFile(const std::string& target, const Pieces& content,
                            unsigned long* otherLinks = nullptr);

// The same for a result held whole.
inline std::string writeOutputFile(const std::string& target, const std::string& content,
                                   unsigned long* otherLinks = nullptr) {
    return writeOutputFile(
        target, [&](const PieceSink& sink) { sink(content); }, otherLinks);
}

#endif  // CONVERT_OUTPUT_FILE_H
