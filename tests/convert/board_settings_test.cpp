#include "convert/board_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "convert/bbs_templates.h"
#include "core/memory_settings_store.h"
#include "core/settings_keys.h"
#include "settings/qsettings_store.h"
#include "support/temp_dir.h"

namespace quor::convert {
namespace {

using core::BoardKey;
using core::kSectionTree;
namespace key = core::key;

void StoreAsCustom(core::SettingsStore& store, int board, const core::Markers& markers) {
    store.WriteInt(kSectionTree, BoardKey(key::kType, board), 0);
    for (const core::MarkerKey& marker : core::kMarkerKeys)
        store.WriteString(kSectionTree, BoardKey(marker.stem, board), markers.*marker.member);
}

core::ParseRules Loaded(const core::SettingsStore& store, int board) {
    core::ParseRules rules;
    LoadParseRules(store, board, rules);
    return rules;
}

TEST(BoardSettingsTest, TemplateMarkersComeBackWholeFromTheSettingsFile) {
    // Blanks at either end, full-width characters, quotes and '=' all pass through the INI file.
    quor::test::TempDir dir;
    const std::string path = (dir.Path() / "quor.ini").string();
    {
        core::QSettingsStore writer(path);
        for (int type = 1; type <= 9; ++type)
            StoreAsCustom(writer, type, TemplateForType(type)->markers);
    }
    const core::QSettingsStore reader(path);
    for (int type = 1; type <= 9; ++type)
        EXPECT_EQ(Loaded(reader, type).markers, TemplateForType(type)->markers) << type;
}

TEST(BoardSettingsTest, ATypeAndItsMarkersStoredAsCustomGiveEqualRules) {
    core::MemorySettingsStore store;
    for (int type = 1; type <= 9; ++type) {
        const BbsTemplate& bbs = *TemplateForType(type);
        const int byType = 2 * type - 1;
        const int custom = 2 * type;
        store.WriteInt(kSectionTree, BoardKey(key::kType, byType), type);
        StoreAsCustom(store, custom, bbs.markers);
        // A date-before-name template's order is list entry 2, Title>Date>Name.
        store.WriteInt(kSectionTree, BoardKey(key::kOrder, custom), bbs.dateBeforeName ? 2 : 0);
        EXPECT_EQ(Loaded(store, byType), Loaded(store, custom)) << type;
    }

    // Each stored setting reaches the rules: changing it alone makes them differ.
    const int board = 2 * 7;
    const core::ParseRules tcup = Loaded(store, board);
    const std::string_view intStems[] = {
        key::kPageCount, key::kNextPageMethod, key::kLineFeedSwitch, key::kSpaceSwitch,
        key::kTabSwitch, key::kNoCase,         key::kCharRef,        key::kOrder};
    for (const std::string_view stem : intStems) {
        core::MemorySettingsStore changed;
        StoreAsCustom(changed, board, tcup.markers);
        changed.WriteInt(kSectionTree, BoardKey(stem, board), 3);
        EXPECT_NE(Loaded(changed, board), tcup) << stem;
    }
    for (const core::MarkerKey& marker : core::kMarkerKeys) {
        core::MemorySettingsStore changed;
        StoreAsCustom(changed, board, tcup.markers);
        changed.WriteString(kSectionTree, BoardKey(marker.stem, board), "<changed>");
        EXPECT_NE(Loaded(changed, board).markers, tcup.markers) << marker.stem;
    }
    core::MemorySettingsStore search;
    StoreAsCustom(search, board, tcup.markers);
    search.WriteString(kSectionTree, BoardKey(key::kPageSearchText, board), "next");
    EXPECT_EQ(Loaded(search, board).nextPage.searchText, "next");
    EXPECT_NE(Loaded(search, board), tcup);
}

}  // namespace
}  // namespace quor::convert
