#pragma once

// Where a board's files lie, and how a storage operation tells what became of one board.
//
// A board file's path is the output directory (ODIR in QUOR) followed by the board's name
// (Data<n> in Tree) and the extension, joined with no separator: ODIR "/data/" and the name foo
// give /data/foo.idx, ODIR "/data" gives /datafoo.idx. Both settings are code page 932; the path
// is their UTF-8 form, as file names are on this platform.
//
// A board with an empty name has no files, and every storage operation leaves it alone. A name
// holding a path separator or a zero byte is refused rather than used: "News/Daily" would
// otherwise write into (or fail on) a folder the user never chose.

#include <string>
#include <string_view>

#include "core/quor_app.h"
#include "storage/atomic_file.h"

namespace quor::storage {

inline constexpr std::string_view kArchiveExtension = ".txt";
inline constexpr std::string_view kIndexExtension = ".idx";
inline constexpr std::string_view kReadStateExtension = ".hcc";

struct BoardLocation {
    enum Status { kOk, kNoName, kUnsafeName } status = kNoName;
    std::string name;  // code page 932, as stored
    std::string path;  // UTF-8; set when kOk
};

BoardLocation LocateBoardFile(const core::CQuorApp& app, int slot, std::string_view extension);

// What one storage operation did with one board.
struct StorageResult {
    enum Status {
        kDone,        // written or read
        kSkipped,     // nothing to do: no name, nothing to write, no file to read
        kUnsafeName,  // refused; the status line said why
        kFailed,      // a file error; the status line said which
    } status = kDone;
    std::string path;   // UTF-8, when there was one
    std::string error;  // ASCII reason, when it failed

    bool Failed() const { return status == kUnsafeName || status == kFailed; }
};

// What a command did over every board: how many boards failed, and the first reason.
struct BoardsResult {
    int failed = 0;
    std::string firstError;  // UTF-8 path and ASCII reason

    void Add(const StorageResult& result) {
        if (!result.Failed())
            return;
        if (failed++ == 0)
            firstError = result.path.empty() ? result.error : result.path + ": " + result.error;
    }
    bool Ok() const { return failed == 0; }
};

// Turns a failed location or file operation into a result, reporting it on the status line
// (callers must not hold a workspace lock).
StorageResult RefuseUnsafeName(core::CQuorApp& app, const BoardLocation& location);
StorageResult ReportFileFailure(core::CQuorApp& app, const BoardLocation& location,
                                const FileResult& failure);

}  // namespace quor::storage
