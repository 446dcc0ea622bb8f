#pragma once

// Whole-file I/O for the board files, with every error reported.
//
// A file that replaces an older one (post index, read state) is written to a temporary file
// beside it, flushed to the disk and renamed over it: whoever looks at the target sees either
// the old content or the new, never a cut or empty file, whether the disk fills up, a write fails
// or the process dies half-way. The temporary file is removed when anything fails. As with a
// file opened for writing, a target the user cannot write is refused and a symbolic link is
// written through; the new file keeps the old one's permissions.
//
// The page archive only grows; an append that fails is rolled back to the old length, so a full
// disk does not leave half a page for the restore to trip over.
//
// Paths are UTF-8, as file names are on this platform. Contents are bytes, untouched.

#include <cstddef>
#include <string>
#include <string_view>

namespace quor::storage {

struct FileResult {
    bool ok = true;
    int error = 0;      // errno of the failing call
    std::string stage;  // which step failed: "open", "write", "sync", "rename", "read"

    static FileResult Ok() { return {}; }
    static FileResult Fail(std::string stage, int error) {
        return {false, error, std::move(stage)};
    }
    // The failure in words (ASCII): "write: No space left on device".
    std::string Describe() const;
};

// Replaces the file at `path` with `bytes`, all or nothing.
FileResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Appends `bytes` to the file at `path`, creating it when missing. On failure the file is cut back
// to the length it had.
FileResult AppendToFile(const std::string& path, std::string_view bytes);

struct ReadResult {
    enum Status { kRead, kMissing, kFailed } status = kRead;
    std::string bytes;
    int error = 0;  // errno when the file could not be opened or read
};

// Reads the whole file. A file that cannot be opened is kMissing (whatever the reason: no file,
// no directory, no permission); an error after opening is kFailed.
ReadResult ReadWholeFile(const std::string& path);

// Finds where reading may stop: given everything read so far and the offset where the newest
// piece starts, the length to keep, or npos to read on.
using StopFinder = std::size_t (*)(std::string_view read, std::size_t newFrom);

// Reads the file piece by piece until `findStop` gives a length (the bytes are cut to it) or the
// file ends (all bytes kept). Statuses as ReadWholeFile.
ReadResult ReadFileUntil(const std::string& path, StopFinder findStop);

}  // namespace quor::storage
