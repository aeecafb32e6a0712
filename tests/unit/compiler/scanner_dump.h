// Test helper: runs the scanner over a text and shows the token stream and
// the messages, so that a test states its expectation as one line.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "zu.h"

namespace zu::compiler::testing {

// Messages reach the message hook; the fixture collects them here.
inline std::vector<std::string>& CapturedMessages() {
    static std::vector<std::string> messages;
    return messages;
}

inline void CaptureMessage(const char* text) { CapturedMessages().emplace_back(text); }

// One token as the dumps show it: the token's name, and for names,
// literals, imports and pragmas its text in parentheses.
inline std::string TokenView(int code) {
    std::string out = SZuTokenName(code);
    switch (code) {
    case 72:
    case 82:
    case 83:
    case 84:
    case 85:
    case 165:
    case 121:
    case 164: out.append("(").append(SZuScanText()).append(")"); break;
    default: break;
    }
    return out;
}

struct ScanOptions {
    bool gauss = false;
    bool interactive = false;
    const char* defines = nullptr;  // handed to ZuDefine first
    const char* sourceName = "t.zu";
};

struct ScanResult {
    std::string tokens;  // space-separated, without <eof>
    std::vector<std::string> messages;
    int errors = 0;  // what IZuScanExit returned
};

// Reads tokens until <eof> (or `limit` tokens), then ends the scanner.
inline ScanResult ScanUntilEof(int limit = 100000) {
    ScanResult r;
    for (int i = 0; i < limit; ++i) {
        int t = IZuScanToken();
        if (t == 61) break;
        if (!r.tokens.empty()) r.tokens.push_back(' ');
        r.tokens += TokenView(t);
    }
    r.errors = IZuScanExit();
    r.messages = CapturedMessages();
    return r;
}

// Starts the scanner on a copy of `source` as the main text.
inline void StartScan(const std::string& source, const ScanOptions& options = {}) {
    static std::string held;
    held = source;
    SetZuMessage(CaptureMessage);
    CapturedMessages().clear();
    ZuSetGaussMode(options.gauss ? 1 : 0);
    ZuSetInteractive(options.interactive ? 1 : 0);
    ZuEscSeqOn();
    if (options.defines) ZuDefine(options.defines);
    ZuOpenSourceText(held.c_str());
    FZuScanInit(options.sourceName);
}

inline ScanResult ScanText(const std::string& source, const ScanOptions& options = {}) {
    StartScan(source, options);
    ScanResult r = ScanUntilEof();
    ZuSetGaussMode(0);
    ZuSetInteractive(0);
    ZuOpenSourceText(nullptr);
    return r;
}

inline std::string Tokens(const std::string& source, const ScanOptions& options = {}) {
    return ScanText(source, options).tokens;
}

// A scratch directory of small files for include and import tests.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zu_scan_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path_ = mkdtemp(buffer.data()) ? buffer.data() : "";
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Write(const std::string& name, const std::string& text) const {
        std::string full = path_ + "/" + name;
        std::ofstream(full, std::ios::binary) << text;
        return full;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace zu::compiler::testing
