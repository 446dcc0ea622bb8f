#include "app/board_removal.h"

#include <array>
#include <string_view>

#include "core/settings_keys.h"

namespace quor::app {

namespace {

namespace key = core::key;
using core::BoardKey;
using core::kSectionTree;

// Every per-board key stem of section Tree except Parent, which is rewritten from the new
// numbers rather than moved.
constexpr std::array<std::string_view, 29> kMovedStems{
    key::kName,           key::kUrl,           key::kEnable,
    key::kType,           key::kKanjiCode,     key::kOrder,
    key::kSkipMarker,     key::kTitleStart,    key::kTitleEnd,
    key::kNameStart,      key::kNameEnd,       key::kDateStart,
    key::kDateEnd,        key::kMessageStart,  key::kMessageEnd,
    key::kLineFeedSwitch, key::kSpaceSwitch,   key::kTabSwitch,
    key::kReferer,        key::kCookie,        key::kPageCount,
    key::kPageSearchText, key::kPageParameter, key::kNextPageMethod,
    key::kPostGetChoice,  key::kNoCase,        key::kCharRef,
    key::kRender,         key::kFields};

void MoveBoardKeys(core::SettingsStore& store, int from, int to) {
    for (std::string_view stem : kMovedStems) {
        const auto value = store.ReadRaw(kSectionTree, BoardKey(stem, from));
        if (value)
            store.WriteString(kSectionTree, BoardKey(stem, to), *value);
        else
            store.RemoveKey(kSectionTree, BoardKey(stem, to));
    }
}

void RemoveBoardKeys(core::SettingsStore& store, int number) {
    store.RemoveKey(kSectionTree, BoardKey(key::kParent, number));
    for (std::string_view stem : kMovedStems)
        store.RemoveKey(kSectionTree, BoardKey(stem, number));
}

void MoveSlot(core::CQuorApp& app, int from, int to) {
    app.SetPageText(to, app.PageTextCopy(from));
    app.SetPageText(from, {});
    app.MoveWorkspace(from, to);
    app.FetchStateOf(to).store(app.FetchStateOf(from).load());
    app.FetchStateOf(from).store(core::kNotConsidered);
}

void ClearSlot(core::CQuorApp& app, int slot) {
    app.SetPageText(slot, {});
    app.WithWorkspace(slot, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
    app.FetchStateOf(slot).store(core::kNotConsidered);
}

}  // namespace

int EffectiveParent(const core::SettingsStore& store, int boardNumber) {
    const int parent =
        store.ReadInt(kSectionTree, BoardKey(key::kParent, boardNumber), core::defaults::kParent);
    return (parent < 0 || parent >= boardNumber) ? 0 : parent;
}

BoardRemoval RemoveBoardAndDescendants(core::CQuorApp& app, int boardNumber) {
    core::SettingsStore& store = app.Store();
    BoardRemoval result;
    // Boards past the tables move down too: their keys exist, only their slots do not.
    result.oldCount = core::StoredBoardCount(store);
    result.newNumber.resize(static_cast<std::size_t>(result.oldCount) + 1);
    for (int n = 0; n <= result.oldCount; ++n)
        result.newNumber[n] = n;
    result.newCount = result.oldCount;
    if (boardNumber < 1 || boardNumber > result.oldCount)
        return result;

    std::vector<int> parent(result.newNumber.size(), 0);
    int next = boardNumber;
    for (int n = boardNumber; n <= result.oldCount; ++n) {
        parent[n] = EffectiveParent(store, n);
        const bool removed =
            n == boardNumber || (parent[n] != 0 && result.newNumber[parent[n]] < 0);
        result.newNumber[n] = removed ? -1 : next++;
    }
    result.newCount = next - 1;

    for (int n = boardNumber + 1; n <= result.oldCount; ++n) {
        const int to = result.newNumber[n];
        if (to < 0)
            continue;
        MoveBoardKeys(store, n, to);
        const int newParent = parent[n] == 0 ? 0 : result.newNumber[parent[n]];
        store.WriteInt(kSectionTree, BoardKey(key::kParent, to), newParent);
        if (core::IsValidSlot(n - 1) && core::IsValidSlot(to - 1))
            MoveSlot(app, n - 1, to - 1);
        else if (core::IsValidSlot(to - 1))
            ClearSlot(app, to - 1);  // a board from past the tables brings no page or posts
    }
    for (int n = result.newCount + 1; n <= result.oldCount; ++n) {
        RemoveBoardKeys(store, n);
        if (core::IsValidSlot(n - 1))
            ClearSlot(app, n - 1);
    }
    store.WriteInt(kSectionTree, key::kCount, result.newCount);
    return result;
}

}  // namespace quor::app
