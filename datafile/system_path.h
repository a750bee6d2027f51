// File names as the tools take them, in UTF-8, made the paths the system's
// file functions take: every file a program opens or creates is named
// through here.
#ifndef DATAFILE_SYSTEM_PATH_H
#define DATAFILE_SYSTEM_PATH_H

#include <filesystem>
#include <string>

// The path of the file named name. POSIX systems name files in bytes: the
// path is name's bytes as they are, UTF-8 or not. Windows names files in
// UTF-16, and its narrow file functions read names in the ANSI code page,
// which holds few of the world's letters: name is read as UTF-8 into the
// wide path (a byte that is not UTF-8 as U+FFFD, which names no file).
std::filesystem::path systemPath(const std::string& name);

#endif  // DATAFILE_SYSTEM_PATH_H
