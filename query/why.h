// What telelist-query --why tells on standard error: why a lookup found
// nothing, and what would find it.
#ifndef QUERY_WHY_H
#define QUERY_WHY_H

#include <functional>
#include <string>
#include <vector>

#include "loaded_entries.h"
#include "lookup.h"
#include "unread_words.h"

// How far --why reads on past where the load stopped: a file need not end
// (/dev/urandom, a pipe that streams on), and a lookup must.
constexpr std::size_t kUnreadLimit = std::size_t{64} << 20;

// What reading on past the load found.
struct UnreadFound {
    long long line = 0;           // of the first word wanted, or 0
    long long lastLine = 0;       // the line the read stopped on
    bool stoppedAtLimit = false;  // kUnreadLimit bytes were read and the file went on
};

// Reads the file on from where its load stopped, looking for a word wanted.
using UnreadSearch = std::function<UnreadFound(UnreadWords::Wanted)>;

// Where the rest of the file can be searched from: the first token the load
// did not take (an area code that is not a number, a 17th entry), or
// nothing when the load took the whole file or cannot read on.
std::optional<std::size_t> unreadFrom(const LoadResult& loaded);

// The lines that tell why nothing matched query, without line ends: table
// holds the entries loaded, in the order of teledir's table.
std::vector<std::string> whyNotFound(const Query& query, const std::vector<LoadedEntry>& table,
                                     const LoadResult& loaded, const UnreadSearch& searchUnread);

// For each entry of table found with --last that teledir's last-name search
// never shows, the one of directory it shows instead.
std::vector<std::string> unshownEntries(const LoadedDirectory& directory,
                                        const std::vector<LoadedEntry>& table,
                                        const std::vector<std::size_t>& found);

#endif  // QUERY_WHY_H
