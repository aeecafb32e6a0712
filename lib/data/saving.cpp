#include "data/saving.h"

#include <cstdio>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

std::string BackupName(const std::string& name, bool backup, const char* ext) {
    return backup ? WithExtension(name, ext) : std::string{};
}

bool FSaveOpened(const console::AtomicFile& file) {
    if (file.Stream() != nullptr) return true;
    DataError("Cannot open %s", file.Target().c_str());
    return false;
}

int IFinishSave(console::AtomicFile& file) {
    if (file.Commit()) return 1;
    DataError("Cannot write %s", file.Target().c_str());
    return 0;
}

int ISaveBytes(const std::string& name, bool backup, std::span<const std::uint8_t> bytes, const char* failure) {
    console::AtomicFile file(name, BackupName(name, backup, ".bak"));
    if (!FSaveOpened(file)) return 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) file.Fail();
    if (file.Commit()) return 1;
    DataError("%s", failure);
    return 0;
}

void NothingToSave(const std::string& name) { DataError("Cannot save %s: no observations to write", name.c_str()); }

}  // namespace zu::data
