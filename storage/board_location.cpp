#include "storage/board_location.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::storage {

namespace {

namespace key = core::key;

// A zero byte would end the name early in the file system's eyes; '/' would leave the output
// directory. Looked for in the UTF-8 form, where '/' can only be itself (a CP932 trail byte is
// never 0x2F, but a converted name is what reaches the file system).
bool IsSafeFileName(std::string_view cp932Name, std::string_view utf8Name) {
    return cp932Name.find('\0') == std::string_view::npos &&
           utf8Name.find('/') == std::string_view::npos;
}

std::string Printable(std::string text) {
    std::replace(text.begin(), text.end(), '\0', '?');
    return text;
}

}  // namespace

BoardLocation LocateBoardFile(const core::CQuorApp& app, int slot, std::string_view extension) {
    BoardLocation location;
    location.name =
        app.Store().ReadString(core::kSectionTree, core::BoardKey(key::kName, slot + 1), "");
    if (location.name.empty())
        return location;
    const std::string utf8Name = core::ToUtf8(location.name);
    if (!IsSafeFileName(location.name, utf8Name)) {
        location.status = BoardLocation::kUnsafeName;
        return location;
    }
    const std::string directory =
        app.Store().ReadString(core::kSectionGlobal, key::kOutputDirectory, "");
    location.path = core::ToUtf8(directory) + utf8Name + std::string(extension);
    location.status = BoardLocation::kOk;
    return location;
}

StorageResult RefuseUnsafeName(core::CQuorApp& app, const BoardLocation& location) {
    static const std::string kBefore = core::FromUtf8("掲示板名「");
    static const std::string kAfter =
        core::FromUtf8("」には / か NUL が含まれるため、ファイルに使わず飛ばしました");
    app.SetStatusText(kBefore + Printable(location.name) + kAfter);
    return {StorageResult::kUnsafeName, {}, "board name holds '/' or NUL"};
}

StorageResult ReportFileFailure(core::CQuorApp& app, const BoardLocation& location,
                                const FileResult& failure) {
    static const std::string kCannotWrite = core::FromUtf8("書き込めませんでした: ");
    static const std::string kCannotRead = core::FromUtf8("読み込めませんでした: ");
    const std::string reason = failure.Describe();
    const std::string& lead = failure.stage == "read" ? kCannotRead : kCannotWrite;
    app.SetStatusText(lead + core::FromUtf8(location.path) + " (" + reason + ")");
    return {StorageResult::kFailed, location.path, reason};
}

}  // namespace quor::storage
