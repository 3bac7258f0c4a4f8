#pragma once

// Whole-file reading and the safe writer that every data file goes through.

#include <string>
#include <string_view>

namespace files {

// Writes data to a temporary file in the same folder, flushes it to disk and
// renames it over path. On failure the old file is untouched, false is
// returned and error holds the reason. An existing file keeps its mode; a new
// one is owner-only (0600). A path that is a symbolic link is followed to
// its final target, which is replaced (the link stays a link). Temporary
// files of earlier writes to the same target that never finished are
// removed.
bool WriteAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

// A file written in pieces and put in place whole, by the rules of
// WriteAtomic: the pieces go to a temporary file beside the target, and
// Commit flushes it and renames it over the path. Until then the old file is
// untouched; a writer discarded or destroyed before Commit (a failure, a
// cancel) removes its temporary file, so nothing of it is left behind.
class TAtomicFile
{
public:
    TAtomicFile() = default;
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file; false (and error) when it cannot.
    bool Open(const std::string& path, std::string* error = nullptr);
    // Appends; false once a write has failed (Commit then reports why).
    bool Write(std::string_view data);
    // Puts the file in place; false (and error) when anything failed, and
    // then nothing is left behind.
    bool Commit(std::string* error = nullptr);
    void Discard();

private:
    bool Fail(int err, std::string* error);

    std::string path_;
    std::string target_;
    std::string tmp_;
    int fd_ = -1;
    int err_ = 0;
    unsigned perms_ = 0600;
};

// Reads a whole file. Returns false (and error) when it cannot be read;
// a missing file gives false with exists == false.
bool ReadAll(const std::string& path, std::string& out, std::string* error = nullptr,
             bool* exists = nullptr);

bool Exists(const std::string& path);

// Why a file operation failed, as the user reads it (Shift_JIS): the common
// causes (no permission, a read-only file system, a full disk, no such file
// or folder, a folder where a file should be) in Japanese, any other in the
// system's own words.
std::string ErrnoText(int error);
// Copies a file byte for byte (atomically).
bool Copy(const std::string& from, const std::string& to, std::string* error = nullptr);

// Path helpers: folder with trailing "/", base name without extension, and the
// path with its extension replaced (ext includes the dot).
std::string DirName(const std::string& path);
std::string BaseName(const std::string& path);
std::string ChangeExt(const std::string& path, const std::string& ext);

} // namespace files
