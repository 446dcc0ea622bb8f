#include "convert/board_settings.h"

#include <array>

#include "convert/bbs_templates.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"

namespace quor::convert {

namespace {

using core::BoardKey;
using core::kSectionTree;
namespace key = core::key;
namespace defaults = core::defaults;

// Entry v of the order list at index v - 1.
constexpr std::array<core::FieldOrder, 6> kOrders{{
    {core::kFieldTitle, core::kFieldName, core::kFieldDate, core::kFieldMessage},
    {core::kFieldTitle, core::kFieldDate, core::kFieldName, core::kFieldMessage},
    {core::kFieldName, core::kFieldTitle, core::kFieldDate, core::kFieldMessage},
    {core::kFieldName, core::kFieldDate, core::kFieldTitle, core::kFieldMessage},
    {core::kFieldDate, core::kFieldTitle, core::kFieldName, core::kFieldMessage},
    {core::kFieldDate, core::kFieldName, core::kFieldTitle, core::kFieldMessage},
}};

int ReadBoardInt(const core::SettingsStore& store, std::string_view stem, int n, int fallback) {
    return store.ReadInt(kSectionTree, BoardKey(stem, n), fallback);
}

std::string ReadBoardString(const core::SettingsStore& store, std::string_view stem, int n) {
    return store.ReadString(kSectionTree, BoardKey(stem, n), "");
}

void LoadMarkers(const core::SettingsStore& store, int n, core::ParseRules& rules) {
    const int type = ReadBoardInt(store, key::kType, n, defaults::kTypeForConversion);
    if (const BbsTemplate* bbs = TemplateForType(type))
        ApplyTemplate(*bbs, rules);
    for (const core::MarkerKey& marker : core::kMarkerKeys) {
        std::string value = ReadBoardString(store, marker.stem, n);
        if (!value.empty())
            rules.markers.*marker.member = std::move(value);
    }
}

}  // namespace

void ApplyFieldOrder(std::int32_t order, core::FieldOrder& fieldOrder) {
    if (order >= 1 && order <= static_cast<std::int32_t>(kOrders.size()))
        fieldOrder = kOrders[order - 1];
}

void LoadParseRules(const core::SettingsStore& store, int n, core::ParseRules& rules) {
    LoadMarkers(store, n, rules);
    rules.nextPage.searchText = ReadBoardString(store, key::kPageSearchText, n);
    rules.pageLimit = ReadBoardInt(store, key::kPageCount, n, defaults::kPageCount);
    rules.nextPage.method = ReadBoardInt(store, key::kNextPageMethod, n, defaults::kNextPageMethod);
    rules.switches.lineFeed = ReadBoardInt(store, key::kLineFeedSwitch, n, defaults::kSwitch);
    rules.switches.space = ReadBoardInt(store, key::kSpaceSwitch, n, defaults::kSwitch);
    rules.switches.tab = ReadBoardInt(store, key::kTabSwitch, n, defaults::kSwitch);
    rules.switches.noCase = ReadBoardInt(store, key::kNoCase, n, defaults::kSwitch);
    rules.switches.charRef = ReadBoardInt(store, key::kCharRef, n, defaults::kSwitch);
    rules.switches.render = ReadBoardInt(store, key::kRender, n, defaults::kSwitch);
    rules.fieldLetters = ReadBoardString(store, key::kFields, n);
    ApplyFieldOrder(ReadBoardInt(store, key::kOrder, n, defaults::kOrder), rules.fieldOrder);
}

}  // namespace quor::convert
