// The table of open files behind file values.
#include <deque>
#include <vector>

#include "stdlib/files.h"
#include "value/value.h"

namespace zu::stdlib {
namespace {

struct FileTable {
    std::deque<OpenFile> slots;     // a deque: slots never move, word 3 points into them
    std::vector<std::size_t> free;  // indices of closed slots, reused first
    std::intptr_t nextSerial = 1;   // numbers openings; 0 marks a free slot
    int open = 0;
};

FileTable& Table() {
    static FileTable table;
    return table;
}

std::size_t TakeSlot(FileTable& table) {
    if (!table.free.empty()) {
        const std::size_t index = table.free.back();
        table.free.pop_back();
        return index;
    }
    table.slots.emplace_back();
    return table.slots.size() - 1;
}

}  // namespace

OpenFile& AddOpenFile(ZuVALUE* v, std::FILE* stream, int flags) {
    FileTable& table = Table();
    const std::size_t index = TakeSlot(table);
    OpenFile& file = table.slots[index];
    file.stream = stream;
    file.flags = flags;
    file.shape[0] = file.shape[1] = 0;
    file.serial = table.nextSerial++;
    file.slot = index;
    ++table.open;
    ZuFreeByValue(v);
    value::Clear(v);
    v->t = ZU_FILE;
    v->w1.p = stream;
    v->w2.i = flags;
    v->w3.p = file.shape;
    v->w4.l = file.serial;
    v->w5.l = static_cast<std::intptr_t>(index);
    return file;
}

OpenFile* FindOpenFile(const ZuVALUE* v) {
    if (v == nullptr || value::TypeCode(v) != ZU_FILE || value::IsNul(v)) return nullptr;
    FileTable& table = Table();
    if (v->w5.l < 0 || static_cast<std::size_t>(v->w5.l) >= table.slots.size()) return nullptr;
    OpenFile& file = table.slots[static_cast<std::size_t>(v->w5.l)];
    const bool live = file.stream != nullptr && file.stream == v->w1.p && file.serial == v->w4.l &&
                      static_cast<const void*>(file.shape) == v->w3.p;
    return live ? &file : nullptr;
}

std::FILE* OpenFileStream(const ZuVALUE* v) {
    OpenFile* file = FindOpenFile(v);
    return file == nullptr ? nullptr : file->stream;
}

int CloseOpenFile(OpenFile& file) {
    FileTable& table = Table();
    const int result = std::fclose(file.stream);
    file.stream = nullptr;
    file.flags = 0;
    file.shape[0] = file.shape[1] = 0;
    file.serial = 0;
    file.writeFailed = false;
    --table.open;
    table.free.push_back(file.slot);
    return result;
}

int CloseAllOpenFiles() {
    int closed = 0;
    for (OpenFile& file : Table().slots) {
        if (file.stream == nullptr) continue;
        (void)FinishOpenFile(file);
        (void)CloseOpenFile(file);
        ++closed;
    }
    return closed;
}

int OpenFileCount() { return Table().open; }

}  // namespace zu::stdlib
