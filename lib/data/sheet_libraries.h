// The spreadsheet libraries, opened on first use (sheet_libraries.cpp).
#pragma once

namespace zu::data {

// Opens libfreexl now: the .xls reader runs in a child process, which
// must not be the one to find the library missing.
void OpenXlsReader();

}  // namespace zu::data
