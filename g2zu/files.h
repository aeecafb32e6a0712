// File names and the files of one run.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "console/atomic_file.h"

namespace g2zu {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Backslashes become slashes, trailing blanks and control characters go.
std::string normalise_name(std::string_view name);
// Position of the extension's dot in the last path component, or npos.
std::size_t extension_pos(std::string_view name);
bool has_extension(std::string_view name);
std::string add_extension(std::string_view name, std::string_view ext);      // when none
std::string replace_extension(std::string_view name, std::string_view ext);  // or append
// The name without its directory.
std::string base_name(std::string_view name);
// The directory part including its final slash ("" when there is none).
std::string directory_of(std::string_view name);
bool file_exists(std::string_view name);

// Opens a file for writing; an existing file is only replaced when the user
// answers Y to the question on standard error (end of input counts as N).
// A file written in full or not at all: it replaces the old one when
// committed.  Null when the user declines to overwrite or the file cannot
// be created.
std::unique_ptr<zu::console::AtomicFile> open_for_writing(std::string_view name, bool ask, std::FILE* question_out,
                                                          std::FILE* answer_in);
FilePtr open_for_reading(std::string_view name);

// Reads a whole file into text; false when it cannot be read or is larger
// than the limit.
inline constexpr std::size_t kFileSizeLimit = std::size_t{64} << 20;
bool read_file(std::FILE* file, std::string& text);

}  // namespace g2zu
