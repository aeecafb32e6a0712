// How the data writers save: each writes one file (or the .in7/.bn7 pair)
// through console::AtomicFile, so a failed save leaves the old file as it
// was and reports 0, and a save that has nothing to write fails too.
#ifndef ZU_DATA_SAVING_H
#define ZU_DATA_SAVING_H

#include <cstdint>
#include <span>
#include <string>

#include "console/atomic_file.h"

namespace zu::data {

// Where an existing file goes when a save asks for a backup (`ext` is
// ".bak", or ".bki" and ".bkb" for the .in7/.bn7 pair); empty without.
[[nodiscard]] std::string BackupName(const std::string& name, bool backup, const char* ext);

// True when the temporary file of the save exists; else "Cannot open %s".
[[nodiscard]] bool FSaveOpened(const console::AtomicFile& file);

// Commits the save: 1, or 0 with the message "Cannot write %s".
[[nodiscard]] int IFinishSave(console::AtomicFile& file);

// Saves a file built in memory: 1, or 0 with "Cannot open %s" or the
// writer's own message `failure`.
[[nodiscard]] int ISaveBytes(const std::string& name, bool backup, std::span<const std::uint8_t> bytes,
                             const char* failure);

// Reports that a save found nothing to write; the old file stays.
void NothingToSave(const std::string& name);

}  // namespace zu::data

#endif
