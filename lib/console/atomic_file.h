// Saving a file in full or not at all.
//
// A file the system saves is first written to a temporary file in the
// target's folder (so that the final rename stays on one file system) and
// renamed over the target only when every write, the flush and the close
// succeeded and something was written.  A save that fails removes the
// temporary and leaves the old file as it was; an empty result counts as a
// failure, so that a save never reports success for a file that holds
// nothing.  A symbolic link is followed (the link stays), a file its owner
// may not write is not replaced, and a device or pipe is written in place.
#ifndef ZU_CONSOLE_ATOMIC_FILE_H
#define ZU_CONSOLE_ATOMIC_FILE_H

#include <cstdio>
#include <string>
#include <string_view>

namespace zu::console {

class AtomicFile {
public:
    // Creates the temporary file for `target`; Stream() is null when that
    // failed (no such folder, no permission).  With a backup name, a target
    // that exists is moved there when the new file is committed.
    explicit AtomicFile(std::string target, std::string backup = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The stream to write; null when the temporary could not be created
    // or the stream has been closed or handed over.
    [[nodiscard]] std::FILE* Stream() const { return stream_; }
    [[nodiscard]] bool Created() const { return created_; }
    [[nodiscard]] const std::string& Target() const { return target_; }

    // For a library that writes a file by its name: our stream is closed
    // and the library writes the temporary under this name.
    [[nodiscard]] const std::string& TemporaryName() const { return temporary_; }
    void CloseStream();

    // For a writer that closes the stream itself; when its close fails it
    // calls Fail().
    [[nodiscard]] std::FILE* ReleaseStream();

    // A writer found a fault of its own (an invalid argument, a library's
    // error status): the save fails.
    void Fail() { failed_ = true; }

    // Closes the stream and checks the file written; false when anything
    // failed or nothing was written.  Files saved together (a description
    // and its data) are all finished before any is committed, so that a
    // failure in one leaves every old file in place.
    [[nodiscard]] bool Finish();

    // Finishes the file and puts it in place (after moving the old one to
    // the backup name).  False when anything failed; the temporary is then
    // removed and the old file untouched.
    [[nodiscard]] bool Commit();

private:
    void CloseOwnStream();
    [[nodiscard]] bool MoveIntoPlace() const;

    std::string target_;     // the file being saved, as named
    std::string backup_;     // where the old target goes; empty: no backup
    std::string path_;       // the target with a symbolic link followed
    std::string temporary_;  // the file written, in the folder of path_ (path_ itself when direct_)
    std::FILE* stream_ = nullptr;
    bool created_ = false;   // the temporary exists on disk
    bool failed_ = false;    // a write, flush or close failed, or Fail() was called
    bool checked_ = false;   // Finish() found the file complete
    bool direct_ = false;    // the target is a device or pipe, written in place
};

// A file name as the system takes it everywhere: backslashes become
// slashes and trailing blanks and control characters go.
[[nodiscard]] std::string PortableFileName(std::string_view name);

}  // namespace zu::console

#endif
