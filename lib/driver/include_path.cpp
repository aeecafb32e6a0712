// The include path and the search for source, header and object files
// along it.  The path is one string of directories separated by ';'.
#include "zu.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace zu::driver {
namespace {

std::optional<std::string>& includePath() {
    static std::optional<std::string> path;
    return path;
}

std::string withSemicolons(std::string_view text) {
    std::string s(text);
    for (char& ch : s)
        if (ch == ':') ch = ';';
    return s;
}

bool isSeparator(char ch) { return ch == '/' || ch == '\\'; }

bool endsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i];
        if (std::tolower(static_cast<unsigned char>(a)) != tail[i]) return false;
    }
    return true;
}

// The directory that holds this library file, if the loader can tell.
std::optional<std::string> libraryDirectory() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ZuGetIncludePathDefault), &info) || !info.dli_fname) return std::nullopt;
    std::string_view file = info.dli_fname;
    auto slash = file.find_last_of('/');
    if (slash == std::string_view::npos) return std::nullopt;
    return std::string(file.substr(0, slash + 1));
}

// Name with the default extension, when it has none of its own.
std::string withExtension(const char* name, const char* ext) {
    std::string full(name);
    if (ext && *ext && !*SFileExt(name)) full += ext;
    return full;
}

// Tries one candidate: records it as the name tried last, then opens it.
FILE* tryOpen(const std::string& candidate, char* found) {
    if (candidate.size() >= ZU_PATH_MAX) return nullptr;
    if (found) std::memcpy(found, candidate.c_str(), candidate.size() + 1);
    return FileOpen(candidate.c_str(), "rb");
}

}  // namespace
}  // namespace zu::driver

using namespace zu::driver;

extern "C" {

FILE* FileOpen(const char* name, const char* mode) {
    if (!name || !mode) return nullptr;
    std::string copy(name);
    for (char& ch : copy)
        if (ch == '\\') ch = '/';
    while (!copy.empty() && static_cast<unsigned char>(copy.back()) <= 32) copy.pop_back();
    return std::fopen(copy.c_str(), mode);
}

const char* SFileBase(const char* name) {
    if (!name) return nullptr;
    const char* base = name;
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\' || *p == ':') base = p + 1;
    return base;
}

const char* SFileExt(const char* name) {
    if (!name) return nullptr;
    const char* base = SFileBase(name);
    const char* dot = std::strrchr(base, '.');
    return dot ? dot : base + std::strlen(base);
}

const char* ZuGetIncludePath(void) {
    auto& path = includePath();
    return path ? path->c_str() : "";
}

void ZuSetIncludePath(const char* p) {
    auto& path = includePath();
    if (!p) {
        path.reset();
        return;
    }
    if (!*p) return;
    std::string joined = withSemicolons(p);
    if (joined.back() != ';') joined += ';';
    if (path) joined += *path;
    path = std::move(joined);
}

void ZuGetIncludePathDefault(void) {
    auto& path = includePath();
    path.reset();
    if (const char* env = std::getenv("ZU3PATH")) {
        path = withSemicolons(env);
        return;
    }
    auto dir = libraryDirectory();
    if (!dir) return;
    std::string d = *dir;
    if (!d.empty() && isSeparator(d.back())) d.pop_back();
    // The build stages the library in bin/, an installation puts it in
    // lib/: either way the headers are in include/ beside that folder.
    if (endsWithNoCase(d, "bin") || endsWithNoCase(d, "lib")) d.resize(d.size() - 3);
    if (!d.empty() && isSeparator(d.back())) d.pop_back();
    path = withSemicolons(d + "/include;" + d);
}

FILE* ZuFileOpenSearch(const char* name, int useSourceDir, int tryAsGiven, char* found, const char* defaultExt) {
    if (!name || !*name) return nullptr;
    const std::string target = withExtension(name, defaultExt);
    FILE* file = nullptr;

    const char* current = SZuScanFile();
    if (useSourceDir && current && *current && (name[0] == '.' || (name[0] != '/' && !std::strchr(name, ':')))) {
        std::string dir(current, static_cast<std::size_t>(SFileBase(current) - current));
        if ((file = tryOpen(dir + target, found))) return file;
    }
    if (tryAsGiven && (file = tryOpen(target, found))) return file;

    std::string_view path = ZuGetIncludePath();
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == ';') ++i;
        std::size_t end = path.find(';', i);
        if (end == std::string_view::npos) end = path.size();
        std::string_view element = path.substr(i, end - i);
        if (element.empty()) break;
        std::string candidate(element);
        if (!isSeparator(element.back()) && !isSeparator(target[0])) candidate += '/';
        candidate += target;
        if ((file = tryOpen(candidate, found))) return file;
        i = end;
    }
    return tryOpen(target, found);
}

}  // extern "C"
