// File values: what fopen returns and every file function takes.
//
// A file value holds the stream in word 1, the mode flags in word 2 and in
// word 3 a pointer to the rows and columns of the matrix a matrix file
// holds.  Copies of a file value are plain word copies that share the
// stream, so a copy may outlive fclose.  Every open file therefore has a
// slot in a process-wide table, and words 4 and 5 name the slot and the
// opening that the value came from: a value whose opening has been closed
// is told apart from a live one and never reaches its stream.  Slots are
// reused but never freed, so word 3 of a stale copy still points to memory
// of this table.
#ifndef ZU_STDLIB_FILES_H
#define ZU_STDLIB_FILES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "zu.h"

namespace zu::stdlib {

// Mode flags of a file value (word 2).
inline constexpr int kFileRead = 0x1;
inline constexpr int kFileWrite = 0x2;
inline constexpr int kFileAppend = 0x4;
inline constexpr int kFileMatrix = 0x8;
inline constexpr int kFileDataSet = 0x10;
inline constexpr int kFileLittleEndian = 0x20;
inline constexpr int kFileBigEndian = 0x40;
inline constexpr int kFileOpened = 0x80;
inline constexpr int kFileNewHeader = 0x100;

// One opening of a file.
struct OpenFile {
    std::FILE* stream = nullptr;  // null while the slot is free
    int flags = 0;                // the mode flags, as in word 2 of its values
    int shape[2] = {0, 0};        // rows and columns of a matrix file; word 3 points here
    std::intptr_t serial = 0;     // the opening's number, kept in word 4 of its values
    std::size_t slot = 0;         // its place in the table, kept in word 5
    bool writeFailed = false;     // a write to a matrix file failed; shape[0] counts the rows it holds
};

// Enters a stream just opened and makes `v` its file value (after freeing
// `v` by value).  The table takes over the stream.
OpenFile& AddOpenFile(ZuVALUE* v, std::FILE* stream, int flags);

// The opening that `v` stands for; null when `v` is not a file value or its
// file has been closed.
OpenFile* FindOpenFile(const ZuVALUE* v);

// The stream of a file value that is open, else null (fprint, fscan).
std::FILE* OpenFileStream(const ZuVALUE* v);

// Closes the stream and frees the slot for a later opening; the result is
// that of the C library's fclose.
int CloseOpenFile(OpenFile& file);

// Finishes a file before it is closed: a matrix file written to gets its
// header again with the final rows and columns, the rows the file really
// holds when a write failed.  False when that failed, or when any earlier
// write to the file failed.
bool FinishOpenFile(OpenFile& file);

// Finishes and closes every file still open, so that a program that ends
// without fclose (normally, by exit or by a run-time error) leaves complete
// files behind; the number of files closed.  Called at the library's exit.
int CloseAllOpenFiles();

// Number of files open now (for tests).
int OpenFileCount();

}  // namespace zu::stdlib

#endif
