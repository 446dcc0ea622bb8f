#include "storage/board_file_io.h"

#include <cerrno>
#include <cstdio>
#include <utility>

namespace quor::storage {

namespace {

StorageResult Done(const BoardLocation& location) {
    return {StorageResult::kDone, location.path, {}};
}

StorageResult Skipped(const BoardLocation& location) {
    return {StorageResult::kSkipped, location.path, {}};
}

// Runs `use` on the board's file of that kind, unless the board has no name or a refused one.
template <typename Use>
StorageResult OnBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind, Use&& use) {
    const BoardLocation location = LocateBoardFile(app, slot, ExtensionOf(kind));
    if (location.status == BoardLocation::kNoName)
        return {StorageResult::kSkipped, {}, {}};
    if (location.status == BoardLocation::kUnsafeName)
        return RefuseUnsafeName(app, location);
    return std::forward<Use>(use)(location);
}

}  // namespace

std::string_view ExtensionOf(BoardFileKind kind) {
    switch (kind) {
        case BoardFileKind::kArchive:
            return kArchiveExtension;
        case BoardFileKind::kIndex:
            return kIndexExtension;
        case BoardFileKind::kReadState:
            return kReadStateExtension;
    }
    return kIndexExtension;
}

BoardFileProducer FormattedPosts(core::CQuorApp& app, int slot,
                                 std::string (*format)(const core::PostTable&)) {
    return [&app, slot, format] {
        return app.WithWorkspace(
            slot, [format](const core::BoardWorkspace& workspace) -> std::optional<std::string> {
                if (workspace.posts.Empty())
                    return std::nullopt;
                return format(workspace.posts);
            });
    };
}

StorageResult WriteBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind,
                             const BoardFileProducer& produce) {
    return OnBoardFile(app, slot, kind, [&](const BoardLocation& location) {
        const std::optional<std::string> bytes = produce();
        if (!bytes)
            return Skipped(location);
        const FileResult written = kind == BoardFileKind::kArchive
                                       ? AppendToFile(location.path, *bytes)
                                       : WriteFileAtomically(location.path, *bytes);
        if (!written.ok)
            return ReportFileFailure(app, location, written);
        return Done(location);
    });
}

StorageResult ReadBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind,
                            const BoardFileConsumer& consume, StopFinder stopAt) {
    return OnBoardFile(app, slot, kind, [&](const BoardLocation& location) {
        ReadResult read =
            stopAt ? ReadFileUntil(location.path, stopAt) : ReadWholeFile(location.path);
        if (read.status == ReadResult::kMissing)
            return Skipped(location);
        if (read.status == ReadResult::kFailed)
            return ReportFileFailure(app, location, FileResult::Fail("read", read.error));
        consume(std::move(read.bytes));
        return Done(location);
    });
}

StorageResult RemoveBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind) {
    return OnBoardFile(app, slot, kind, [&](const BoardLocation& location) {
        if (std::remove(location.path.c_str()) == 0)
            return Done(location);
        const int error = errno;
        if (error == ENOENT)
            return Skipped(location);
        return ReportFileFailure(app, location, FileResult::Fail("remove", error));
    });
}

}  // namespace quor::storage
