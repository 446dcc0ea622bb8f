#include "convert/board_settings.h"

#include <array>

#include "convert/bbs_templates.h"
#include "core/board_workspace.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"

namespace quor::convert {

namespace {

using core::BoardKey;
using core::kSectionTree;
namespace key = core::key;
namespace defaults = core::defaults;

using FieldOrder = std::array<std::int32_t, 4>;

// Entry v of the order list at index v - 1.
constexpr std::array<FieldOrder, 6> kOrders{{
    {core::kFieldTitle, core::kFieldName, core::kFieldDate, core::kFieldMessage},
    {core::kFieldTitle, core::kFieldDate, core::kFieldName, core::kFieldMessage},
    {core::kFieldName, core::kFieldTitle, core::kFieldDate, core::kFieldMessage},
    {core::kFieldName, core::kFieldDate, core::kFieldTitle, core::kFieldMessage},
    {core::kFieldDate, core::kFieldTitle, core::kFieldName, core::kFieldMessage},
    {core::kFieldDate, core::kFieldName, core::kFieldTitle, core::kFieldMessage},
}};

// Stored markers in the order they are read, each with the workspace field it overrides.
struct MarkerSetting {
    std::string_view stem;
    std::string core::BoardWorkspace::*field;
};
constexpr std::array<MarkerSetting, 9> kMarkerSettings{{
    {key::kSkipMarker, &core::BoardWorkspace::skipMarker},
    {key::kTitleStart, &core::BoardWorkspace::titleStart},
    {key::kTitleEnd, &core::BoardWorkspace::titleEnd},
    {key::kNameStart, &core::BoardWorkspace::nameStart},
    {key::kNameEnd, &core::BoardWorkspace::nameEnd},
    {key::kDateStart, &core::BoardWorkspace::dateStart},
    {key::kDateEnd, &core::BoardWorkspace::dateEnd},
    {key::kMessageStart, &core::BoardWorkspace::messageStart},
    {key::kMessageEnd, &core::BoardWorkspace::messageEnd},
}};

int ReadBoardInt(const core::SettingsStore& store, std::string_view stem, int n, int fallback) {
    return store.ReadInt(kSectionTree, BoardKey(stem, n), fallback);
}

std::string ReadBoardString(const core::SettingsStore& store, std::string_view stem, int n) {
    return store.ReadString(kSectionTree, BoardKey(stem, n), "");
}

void LoadMarkers(const core::SettingsStore& store, int n, core::BoardWorkspace& workspace) {
    const int type = ReadBoardInt(store, key::kType, n, defaults::kTypeForConversion);
    if (const BbsTemplate* bbs = TemplateForType(type))
        ApplyTemplate(*bbs, workspace);
    for (const auto& setting : kMarkerSettings) {
        std::string value = ReadBoardString(store, setting.stem, n);
        if (!value.empty())
            workspace.*setting.field = std::move(value);
    }
}

}  // namespace

void ApplyFieldOrder(std::int32_t order, core::BoardWorkspace& workspace) {
    if (order >= 1 && order <= static_cast<std::int32_t>(kOrders.size()))
        workspace.fieldOrder = kOrders[order - 1];
}

std::string LoadBoardSettings(const core::SettingsStore& store, int n,
                              core::BoardWorkspace& workspace) {
    LoadMarkers(store, n, workspace);
    workspace.nextPageSearchText = ReadBoardString(store, key::kPageSearchText, n);
    workspace.pageLimit = ReadBoardInt(store, key::kPageCount, n, defaults::kPageCount);
    workspace.nextPageMethod =
        ReadBoardInt(store, key::kNextPageMethod, n, defaults::kNextPageMethod);
    workspace.lineFeedSwitch = ReadBoardInt(store, key::kLineFeedSwitch, n, defaults::kSwitch);
    workspace.spaceSwitch = ReadBoardInt(store, key::kSpaceSwitch, n, defaults::kSwitch);
    workspace.tabSwitch = ReadBoardInt(store, key::kTabSwitch, n, defaults::kSwitch);
    workspace.noCaseSwitch = ReadBoardInt(store, key::kNoCase, n, defaults::kSwitch);
    workspace.charRefSwitch = ReadBoardInt(store, key::kCharRef, n, defaults::kSwitch);
    ApplyFieldOrder(ReadBoardInt(store, key::kOrder, n, defaults::kOrder), workspace);
    return ReadBoardString(store, key::kName, n);
}

}  // namespace quor::convert
