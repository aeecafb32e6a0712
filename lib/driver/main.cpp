// Start-up, one run of the driver, and clean-up.
#include "zu.h"
#include "console/atomic_file.h"
#include "driver/switches.h"
#include "objfile/verifier.h"
#include "stdlib/files.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace zu::driver {
namespace {

constexpr const char* kBanner = "Zu version 3.40 (Linux) - object-oriented matrix language";

constexpr const char* kUsageHead = "Zu Object-oriented matriX language\nUsage:\tZu filename[.zu] [switches]\nSwitches:";
constexpr const char* kUsageModes =
    "  -d          debugging mode\n"
    "  -i          interactive mode";
constexpr const char* kUsageBlock =
    "  -c          create object (.zuo) file\n"
    "  -cl         create object (.zuo) file after linking in dependencies\n"
    "  -Dtoken     define a token, e.g. -DOPTION1+OPTION2\n"
    "  -g          source is gauss file\n"
    "  -lfilelist  link object file, e.g. -lfile1+file2+file3\n"
    "  -ipath      add include/link path\n"
    "  -x          clear include/link path\n"
    "  -od         switch code optimizations off\n"
    "  -on         switch line numbering off\n"
    "  -r-         do not run code\n"
    "  -rc#,#      set matrix cache\n"
    "              default is -rc16,1000: 16 entries, max size 1000\n"
    "  -rf         switch FastMath off (saves memory)\n"
    "  -rr         print cache report\n"
    "  -s#,#       set symbol table and stack size (default: -s2000,1000)\n"
    "  -w0         switch parse warnings off\n";

void ignoreExit(int) {}

bool hasExtensionNoCase(const std::string& name, const char* ext) {
    return strcasecmp(SFileExt(name.c_str()), ext) == 0;
}

// Looks for the start-up file of interactive mode and opens it as the
// current source; not finding it is not an error.
void openStartupFile() {
    const char* name = "zu_init.zu";
    std::string found;
    if (FILE* f = FileOpen(name, "rb")) {
        std::fclose(f);
        found = name;
    } else {
        char buffer[ZU_PATH_MAX] = "";
        if (FILE* g = ZuFileOpenSearch(name, 1, 0, buffer, ".zu")) {
            std::fclose(g);
            found = buffer;
        }
    }
    if (!found.empty()) ZuOpenSourceFile(found.c_str());
}

// Links the object files of a '+'-joined list; the first failure's count.
int linkFileList(const std::string& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find('+', start);
        if (end == std::string::npos) end = list.size();
        std::string name = list.substr(start, end - start);
        if (int errors = IZuGetImportFile(name.c_str(), 0, 0)) return errors;
        start = end + 1;
    }
    return 0;
}

// Writes the object file into the current directory; -2 on success.
int writeObjectFile(const std::string& sourceName) {
    std::string name = SFileBase(sourceName.c_str());
    name.resize(static_cast<std::size_t>(SFileExt(name.c_str()) - name.c_str()));
    name += ".zuo";
    // The object file is written beside its final name and replaces an
    // older one only when all of it was written.
    zu::console::AtomicFile saved(zu::console::PortableFileName(name));
    FILE* file = saved.ReleaseStream();
    if (!file) {
        ZuCompileMessage("Failed to open zuo file", 0);
        return 0;
    }
    // ZuWriteCode closes the stream and reports a failed write itself.
    if (!ZuWriteCode(file)) return 0;
    if (saved.Commit()) return -2;
    ZuCompileMessage("Failed to write zuo file", 0);
    return 0;
}

// Compiles the open source; false when it had errors.
bool compileSource() {
    bool ok = IZuParse() == 0 && IZuScanErrors() == 0;
    ZuOpenSourceFile(nullptr);
    return ok;
}

// Links, prunes and runs: the steps after a successful compile.  Sets
// `returnAtOnce` when the run is skipped (-r-), which also skips clean-up.
int linkAndRun(const RunOptions& o, bool compiled, bool& returnAtOnce) {
    if (!compiled && !o.interactive && o.linkFiles.empty()) {
        ZuCompileMessage("no files specified", 0);
        return 0;
    }
    // The start-up file declares the library for the prompt; the empty
    // main comes from here unless a main was compiled or is being linked.
    if (o.interactive && o.linkFiles.empty() && !ZuSymFindGlobalFunction("main")) ZuParseEmitMainDummy();
    int errors = o.linkFiles.empty() ? 0 : linkFileList(o.linkFiles);
    errors += IZuParseLinkImports();
    if (ZuIsGaussMode()) {
        while (IZuParseGaussAutoload()) {
            if (errors) return 0;
            errors = IZuParseLinkImports();
        }
    }
    if (errors || IZuScanErrors()) return 0;
    if (o.createAfterLink) return writeObjectFile(o.fileName);
    // The debug flag is also on in interactive mode, where typed lines
    // may still call any declared function.
    if (!ZuIsDebug()) ZuParseDelUnusedExternals();
#ifndef NDEBUG
    // Debug builds hold freshly compiled code to the rules of loaded code.
    if (!zu::objfile::VerifyProgram()) return 0;
#endif
    int position = IZuRunInit();
    if (position < 0) return 0;
    if (o.noRun) {
        returnAtOnce = true;
        return position;
    }
    // A program that cannot start (no main) fails like one that cannot
    // be linked: its error is a link error found when the run begins.
    const int linkErrors = IZuGetLinkErrors();
    FZuRun(position, 0);
    if (IZuGetLinkErrors() > linkErrors) return 0;
    if (o.cacheReport) MatCacheStatus();
    return position;
}

// The steps of ZuMain after the switch walk, up to clean-up.
int compileLinkRun(RunOptions& o, bool& returnAtOnce) {
    ZuParseInterDebug(o.interactive, o.debug);
    ZuOpenCode();
    // An object file compiled with -g holds the support source already.
    const bool gaussObject = hasExtensionNoCase(o.fileName, ".zuo");
    if (ZuIsGaussMode() && !FZuParseInitGauss(gaussObject ? nullptr : "zugauss.zu", !o.createObject && !gaussObject))
        return 0;
    // Object files linked from the command line bring their own
    // declarations; compiling the start-up file as well would make it the
    // file that their link errors name.
    if (o.fileName.empty()) {
        if (o.linkFiles.empty()) openStartupFile();
    } else if (hasExtensionNoCase(o.fileName, ".zuo")) {
        o.linkFiles = o.fileName;
        o.fileName.clear();
    } else if (!ZuOpenSourceFile(o.fileName.c_str())) {
        return 0;
    }
    bool compiled = false;
    if (ZuGetSourceFilename()) {
        if (!compileSource()) return 0;
        if (o.createObject) return writeObjectFile(o.fileName);
        compiled = true;
    }
    return linkAndRun(o, compiled, returnAtOnce);
}

}  // namespace

int runMain(int argc, char** argv);

}  // namespace zu::driver

using namespace zu::driver;

extern "C" {

void ZuMainUsage(void) {
    ZuMessage(kUsageHead);
    ZuMessage(kUsageModes);
    ZuMessage(kUsageBlock);
}

void ZuMainInit(void) {
    SetZuMessage(ZuDefaultMessage);
    SetZuRunMessage(ZuDefaultMessage);
    SetZuExit(ignoreExit);
    ZuGetIncludePathDefault();
    ZuAddStdLib();
    ZuAddStdIOLib();
    ZuAddArmaLib();
    ZuAddProbLib();
    ZuAddGaussStdLib();
    ZuAddGaussStdIOLib();
    SetKnlEigen(nullptr);  // the built-in general eigenvalue routine
}

void ZuMainExit(void) {
    IZuScanExit();
    ZuRunExit();
    // Files a program left open are finished here, so that their headers
    // match the rows written whether main returned, exit was called or a
    // run-time error stopped the run.
    zu::stdlib::CloseAllOpenFiles();
    ZuStdClosePrintBuffer();
    SetZuPipe(-1);
    ZuSetIncludePath(nullptr);
    ZuSetZuArgs(0, nullptr);
    ZuCloseCode();
    ZuLibFreeFunctions();
    ZuParseExitGauss();
}

int ZuMain(int argc, char** argv) {
    // Nothing may unwind into the host: a failure inside is reported here.
    try {
        return runMain(argc, argv);
    } catch (const std::bad_alloc&) {
        ZuMessage("out of memory");
    } catch (const std::exception& e) {
        std::string text = std::string("Internal error: ") + e.what();
        ZuMessage(text.c_str());
    }
    return 0;
}

}  // extern "C"

namespace zu::driver {

int runMain(int argc, char** argv) {
    RunOptions options;
    ZuSetMainArgs(argc, argv);
    ZuSetZuArgs(0, nullptr);
    if (argc < 2 || std::strncmp(argv[1], "-b", 2) != 0) {
        ZuMessage("");
        ZuMessage(kBanner);
    }
    if (argc < 2) {
        ZuMainUsage();
        return 0;
    }
    SetFastMath(1);
    SetMatCacheSize(16, 1000);
    ZuSetGaussMode(0);
    ZuDefine("ZU_Linux");

    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            options.fileName = argv[i];
            ZuSetZuArgs(argc - i, argv + i);
            break;
        }
        switch (applySwitch(argv[i], options)) {
        case SwitchResult::Continue: break;
        case SwitchResult::Usage: ZuMainUsage(); return 0;
        case SwitchResult::Version: return 0;
        case SwitchResult::NoLinkFile: return 0;
        }
    }
    if (options.fileName.empty() && !options.noRun) options.interactive = true;
    if (!options.interactive && options.fileName.empty() && options.linkFiles.empty()) {
        ZuMainUsage();
        return 0;
    }
    bool returnAtOnce = false;
    int result = compileLinkRun(options, returnAtOnce);
    if (returnAtOnce) return result;
    ZuMainExit();
    return result;
}

}  // namespace zu::driver

extern "C" {

int ZuMainCmd(const char* commandline) {
    if (!commandline) return -1;
    std::vector<char> buffer;
    try {
        buffer.assign(commandline, commandline + std::strlen(commandline) + 1);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    static char programName[] = "Zu";
    std::vector<char*> table{programName};
    char* p = buffer.data();
    while (*p && table.size() < 20) {
        while (*p == ' ') ++p;
        if (!*p) break;
        char* start = p;
        char end = ' ';
        if (*p == '"') {
            start = ++p;
            end = '"';
        }
        while (*p && *p != end) ++p;
        table.push_back(start);
        if (*p) *p++ = '\0';
    }
    table.push_back(nullptr);
    int result = ZuMain(static_cast<int>(table.size()) - 1, table.data());
    // The table dies here: a stored pointer to it would dangle.
    ZuSetMainArgs(0, nullptr);
    return result;
}

}  // extern "C"
