// Print settings, the output log and the sprint buffer.
#include "stdlib/print_settings.h"

#include <new>
#include <vector>

#include "zu.h"

namespace zu::stdlib {
namespace {

StoredFormat Stored(std::string_view text) { return StoredFormat{std::string{text}, ClassifyFormat(text)}; }

PrintSettings InitialSettings() {
    PrintSettings s;
    s.intFormat = Stored("%d");
    s.doubleFormat = Stored("%g");
    s.elementFormat = Stored("%#13.5g");
    return s;
}

// The sprint buffer; empty until the first use.
std::vector<char>& BufferStore() {
    static std::vector<char> buffer;
    return buffer;
}

}  // namespace

PrintSettings& Settings() {
    static PrintSettings settings = InitialSettings();
    return settings;
}

void ResetPrintSettings() {
    std::FILE* log = Settings().log;
    Settings() = InitialSettings();
    Settings().log = log;
    BufferStore() = {};
}

void SetDefaultFormat(std::string_view text) {
    StoredFormat format = Stored(text);
    PrintSettings& s = Settings();
    if (format.piece.kind == FormatKind::Double) {
        s.fieldWidth = format.piece.width;
        s.doubleFormat = format;
        s.elementFormat = std::move(format);
    } else if (format.piece.kind == FormatKind::Int) {
        s.intFormat = std::move(format);
    }
}

void SetPrintLog(std::FILE* log) {
    PrintSettings& s = Settings();
    if (s.log != nullptr && s.log != log) std::fclose(s.log);
    s.log = log;
}

char* PrintBuffer() {
    std::vector<char>& buffer = BufferStore();
    if (buffer.empty()) {
        try {
            buffer.assign(static_cast<std::size_t>(Settings().sprintBufferSize) + 256, '\0');
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return buffer.data();
}

void ResizePrintBuffer(int size) {
    Settings().sprintBufferSize = size;
    BufferStore() = {};
}

}  // namespace zu::stdlib

extern "C" void ZuStdClosePrintBuffer(void) { zu::stdlib::BufferStore() = {}; }
