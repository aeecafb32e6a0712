// The function reference at the consoles: `?name` prints a library
// function's entry from zu_reference.txt, the file that ships in the same
// folder as zustd.h.  An entry runs from its line "@@ name" to the next
// line that starts with "@@ ".
#include "run/debugger.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace zu::run::debug {
namespace {

// Lines longer than the buffer are printed in pieces; an entry longer than
// kMaxEntryLines is cut, so a damaged file cannot flood the console.
constexpr int kLineBuffer = 1024;
constexpr int kMaxEntryLines = 400;
constexpr std::string_view kEntryMark = "@@ ";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The reference file in the folder where the include path finds zustd.h.
File OpenReferenceFile() {
    char found[ZU_PATH_MAX] = {};
    File header(ZuFileOpenSearch("zustd.h", 0, 0, found, ""));
    if (!header) return nullptr;
    std::string path(found, strnlen(found, sizeof found));
    const auto slash = path.find_last_of('/');
    path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "zu_reference.txt";
    return File(std::fopen(path.c_str(), "r"));
}

// One line without its newline; false at the end of the file.  A line
// longer than the buffer comes back in pieces.
bool ReadLine(std::FILE* f, std::string& line) {
    char buffer[kLineBuffer];
    if (!std::fgets(buffer, sizeof buffer, f)) return false;
    line.assign(buffer, strnlen(buffer, sizeof buffer));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return true;
}

bool IsMarkOf(const std::string& line, std::string_view name) {
    return line.size() == kEntryMark.size() + name.size() && line.starts_with(kEntryMark) &&
           std::string_view(line).substr(kEntryMark.size()) == name;
}

}  // namespace

bool ShowReferenceEntry(std::string_view name) {
    const File file = OpenReferenceFile();
    if (!file || name.empty()) return false;
    std::string line;
    bool found = false;
    while (!found && ReadLine(file.get(), line)) found = IsMarkOf(line, name);
    if (!found) return false;
    for (int n = 0; ReadLine(file.get(), line) && !line.starts_with(kEntryMark); ++n) {
        if (n == kMaxEntryLines) {
            ZuPrintf("...\n");
            break;
        }
        ZuPrintf("%s\n", line.c_str());
    }
    return true;
}

}  // namespace zu::run::debug
