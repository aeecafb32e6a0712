// The file functions of the Gauss input/output table: lines, the error
// state of a file opened by fopen or open, the current folder and the
// files matching a pattern.
#include "gauss/routines.h"

#include "stdlib/files.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

#include <glob.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace zu::gauss {
namespace {

// Lines longer than this are returned in pieces, as fgets would.
constexpr int kMaxLine = 1 << 20;

// The stream of a file argument, or null after the argument error.
std::FILE* streamArg(ZuVALUE* pv, int k) {
    std::FILE* stream = stdlib::OpenFileStream(&pv[k]);
    if (!stream) ZuLibArgError(k);
    return stream;
}

// An array of strings as a result.
void stringArray(ZuVALUE* rtn, const std::vector<std::string>& texts) {
    ZuLibValArrayCalloc(rtn, static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) ZuValSetString(&value::Items(rtn)[i], texts[i].c_str());
}

}  // namespace

// gauss::__fgets__(file, maxsize [, ...]): the next line of the file, with
// its newline, at most maxsize - 1 characters; the int 0 at the end.
void FnGaussFgets(ZuVALUE* rtn, ZuVALUE* pv, int) {
    std::FILE* stream = streamArg(pv, 0);
    if (!stream || ZuLibCheckType(ZU_INT, pv, 1, 1) == 0) return;
    const int size = std::clamp(value::IntOf(&pv[1]), 2, kMaxLine);
    std::vector<char> line(static_cast<std::size_t>(size));
    if (!std::fgets(line.data(), size, stream)) {
        ZuValSetInt(rtn, 0);
        return;
    }
    ZuValSetString(rtn, line.data());
}

// gauss::__ferror__(file): 1 when the file's stream has seen an error.
void FnGaussFerror(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (std::FILE* stream = streamArg(pv, 0)) ZuValSetInt(rtn, std::ferror(stream) ? 1 : 0);
}

// gauss::__fclearerror__(file): clears the error and end-of-file marks.
void FnGaussFclearerror(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (std::FILE* stream = streamArg(pv, 0)) {
        std::clearerr(stream);
        ZuValSetInt(rtn, 0);
    }
}

// gauss::__strerror__(): the text of the last system error.
void FnGaussStrerror(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetString(rtn, std::strerror(errno)); }

// gauss::cdir(s): the current folder (the argument names a drive on other
// systems and is not used here).
void FnGaussCdir(ZuVALUE* rtn, ZuVALUE*, int) {
    char path[PATH_MAX];
    ZuValSetString(rtn, getcwd(path, sizeof path) ? path : "");
}

// gauss::filesa(pattern): the names of the files matching the pattern
// ("*" and "?" as in a shell), sorted, without their folder; an empty
// array when none match.
void FnGaussFilesa(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    const std::string pattern(stdlib::StringChars(pv[0]));
    glob_t found{};
    std::vector<std::string> names;
    if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) {
            std::string name = found.gl_pathv[i];
            const std::size_t slash = name.rfind('/');
            names.push_back(slash == std::string::npos ? name : name.substr(slash + 1));
        }
    }
    globfree(&found);
    stringArray(rtn, names);
}

}  // namespace zu::gauss
