// The current source that the scanner reads: a file, standard input or an
// in-memory text, with one pushed-back character.
#include "zu.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace zu::driver {
namespace {

struct CurrentSource {
    FILE* file = nullptr;  // open source file, or stdin
    bool isStdin = false;
    std::string fileName;        // as opened, after extension and search
    const char* text = nullptr;  // in-memory source text, read from here
    int pushedBack = 0;          // 0 when none

    void close() {
        if (file && !isStdin) std::fclose(file);
        file = nullptr;
        isStdin = false;
        text = nullptr;
        pushedBack = 0;
        fileName.clear();
    }
};

CurrentSource& source() {
    static CurrentSource state;
    return state;
}

}  // namespace
}  // namespace zu::driver

using zu::driver::source;

extern "C" {

int ZuOpenSourceFile(const char* name) {
    auto& s = source();
    s.close();
    if (!name) return 1;
    if (std::strcmp(name, "stdin") == 0) {
        s.file = stdin;
        s.isStdin = true;
        return 1;
    }
    std::string withExt(name);
    if (!*SFileExt(name)) withExt += ".zu";
    FILE* file = FileOpen(withExt.c_str(), "rb");
    if (file) {
        s.fileName = withExt;
    } else {
        char found[ZU_PATH_MAX] = "";
        file = ZuFileOpenSearch(name, 0, 0, found, ".zu");
        if (file) s.fileName = found;
    }
    if (!file) {
        ZuCompileMessage("Failed to open Zu file", 0);
        return 0;
    }
    s.file = file;
    return 1;
}

void ZuOpenSourceText(const char* text) {
    auto& s = source();
    s.close();
    s.text = text;
}

const char* ZuGetSourceFilename(void) {
    const auto& s = source();
    return s.file && !s.isStdin ? s.fileName.c_str() : nullptr;
}

int IZuGetSource(void) {
    auto& s = source();
    if (s.pushedBack) {
        int ch = s.pushedBack;
        s.pushedBack = 0;
        return ch;
    }
    if (s.isStdin) return ZuGetc();
    if (s.text) {
        if (!*s.text) return -1;
        return static_cast<unsigned char>(*s.text++);
    }
    if (s.file) return std::fgetc(s.file);
    return -1;
}

void ZuUnGetSource(int ch) { source().pushedBack = ch; }

}  // extern "C"
