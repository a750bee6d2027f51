// Reading a file a chunk at a time, with a failed read told from the end of
// the file on every standard library: the one read loop of the data file's
// reader and of the converter's import.
#ifndef DATAFILE_CHUNK_READ_H
#define DATAFILE_CHUNK_READ_H

#include <cstddef>
#include <iosfwd>
#include <string>

struct ChunkRead {
    std::size_t size = 0;  // bytes read; 0 at the end of the file or after a failure
    bool failed = false;   // the read failed (an I/O error, a directory...)
    int error = 0;         // errno of the failure, 0 when it gave none
};

// Reads up to capacity bytes from source into buffer.
ChunkRead readChunk(std::istream& source, char* buffer, std::size_t capacity);

// How a failed read is told: "cannot read: Input/output error".
std::string readFailureText(int error);

#endif  // DATAFILE_CHUNK_READ_H
