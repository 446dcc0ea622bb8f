#include "storage/board_commands.h"

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/settings_keys.h"
#include "storage/board_file_io.h"
#include "storage/board_files.h"
#include "storage/read_state.h"

namespace quor::storage {

namespace {

using PerBoard = StorageResult (*)(core::CQuorApp&, int);

BoardsResult ForEachBoard(core::CQuorApp& app, int count, PerBoard work,
                          core::ProgressDisplay* progress) {
    BoardsResult result;
    for (int slot = 0; slot < count; ++slot) {
        result.Add(work(app, slot));
        if (progress)
            progress->Show(slot);
    }
    return result;
}

BoardsResult WithProgress(core::CQuorApp& app, const std::string& text, PerBoard work) {
    const int count = core::BoardCount(app.Store());
    const auto progress = app.Ui().OpenProgress();
    progress->SetRange(0, count);
    progress->Show(0);
    progress->SetText(text);
    return ForEachBoard(app, count, work, progress.get());
}

StorageResult RemovePageArchive(core::CQuorApp& app, int slot) {
    return RemoveBoardFile(app, slot, BoardFileKind::kArchive);
}

}  // namespace

BoardsResult OnSaveBoards(core::CQuorApp& app) {
    static const std::string kWriting = core::FromUtf8("データの書き込み中です...");
    return WithProgress(app, kWriting, WritePostIndex);
}

BoardsResult OnLoadBoards(core::CQuorApp& app) {
    static const std::string kReading = core::FromUtf8("データの読み込み中です...");
    // The display closes before the list is refilled, so the refill never runs under it.
    BoardsResult result = WithProgress(app, kReading, ReadPostIndex);
    app.RefreshPostList();
    return result;
}

BoardsResult OnRestore(core::CQuorApp& app) {
    const int count = core::BoardCount(app.Store());
    // Every board is emptied first, named or not, so nothing of the last run survives a board
    // whose archive is gone.
    for (int slot = 0; slot < count; ++slot) {
        app.SetPageText(slot, {});
        app.WithWorkspace(slot, [](core::BoardWorkspace& workspace) { workspace.posts.Clear(); });
    }
    BoardsResult result;
    for (int slot = 0; slot < count; ++slot) {
        const StorageResult read = ReadPageArchive(app, slot);
        result.Add(read);
        if (read.status == StorageResult::kDone)
            convert::ConvertBoard(app, slot);
    }
    app.RefreshPostList();
    return result;
}

BoardsResult OnClear(core::CQuorApp& app) {
    return ForEachBoard(app, core::BoardCount(app.Store()), RemovePageArchive, nullptr);
}

BoardsResult RunExitWrites(core::CQuorApp& app) {
    const auto& store = app.Store();
    const int count = core::BoardCount(app.Store());
    BoardsResult result;
    const auto add = [&result](const BoardsResult& part) {
        if (part.failed > 0 && result.failed == 0)
            result.firstError = part.firstError;
        result.failed += part.failed;
    };
    if (store.ReadInt(core::kSectionGlobal, core::key::kAutoSave, core::defaults::kAutoSave) == 1)
        add(ForEachBoard(app, count, WriteReadState, nullptr));
    if (store.ReadInt(core::kSectionGlobal, core::key::kAutoSaveData,
                      core::defaults::kAutoSaveData) == 1)
        add(ForEachBoard(app, count, WritePostIndex, nullptr));
    return result;
}

}  // namespace quor::storage
