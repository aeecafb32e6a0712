// The file functions of the Gauss input/output table: lines, the error
// state of a file opened by fopen or open, the current folder and the
// files matching a pattern.
/// @family Gauss compatibility

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

/// gauss::__fgets__(file, maxsize, ...)
/// The next line of the file (an open Zu file), with its newline, at most maxsize-1 characters (a longer line
/// comes in pieces); the int 0 at the end of the file. The `fgets` procedure calls it with the file of a
/// Gauss file handle and turns the 0 into "".
/// Example:
///     f = fopen("fgets_lines.txt", "w");
///     call fputs(f, "first line\nsecond line\n");
///     call fclose(f);
///     f = fopen("fgets_lines.txt", "r");
///     print fgets(f, 100);;
///     print fgets(f, 7);
///     print fgets(f, 100);;
///     call fclose(f);
///     call deletefile("fgets_lines.txt");
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

/// gauss::__ferror__(file)
/// 1 when the stream of the open file has seen a read or write error, else 0. The `ferror` procedure calls it
/// with the file of a Gauss file handle.
/// Example:
///     f = fopen("ferror_test.txt", "w");
///     print ferror(f);
///     call fclose(f);
///     call deletefile("ferror_test.txt");
void FnGaussFerror(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (std::FILE* stream = streamArg(pv, 0)) ZuValSetInt(rtn, std::ferror(stream) ? 1 : 0);
}

/// gauss::__fclearerror__(file)
/// Clears the error and end-of-file marks of the open file; returns 0. The `fclearerr` procedure calls it
/// with the file of a Gauss file handle.
/// Example:
///     f = fopen("fclearerr_test.txt", "w");
///     print fclearerr(f);
///     call fclose(f);
///     call deletefile("fclearerr_test.txt");
void FnGaussFclearerror(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (std::FILE* stream = streamArg(pv, 0)) {
        std::clearerr(stream);
        ZuValSetInt(rtn, 0);
    }
}

/// gauss::__strerror__()
/// The text of the last system error (the C library's error number at the moment). The `fstrerror` procedure
/// calls it.
/// Example:
///     f = fopen("no_such_file.txt", "r");
///     print f;
///     print fstrerror();
void FnGaussStrerror(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetString(rtn, std::strerror(errno)); }

/// gauss::cdir(s)
/// The current folder as a full path. The argument names a drive on other systems and is not used.
/// Example:
///     print strsect(cdir(0), 1, 1);
void FnGaussCdir(ZuVALUE* rtn, ZuVALUE*, int) {
    char path[PATH_MAX];
    ZuValSetString(rtn, getcwd(path, sizeof path) ? path : "");
}

/// gauss::filesa(pattern)
/// The names of the files matching the pattern ("*" and "?" as in a shell, with an optional folder), sorted,
/// without their folder, as an array of strings; an empty array when none match.
/// Example:
///     call fclose(fopen("filesa_b.txt", "w"));
///     call fclose(fopen("filesa_a.txt", "w"));
///     print filesa("filesa_*.txt");
///     call deletefile("filesa_a.txt");
///     call deletefile("filesa_b.txt");
///     print rows(filesa("filesa_*.txt"));
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
