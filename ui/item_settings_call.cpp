#include "ui/item_settings_call.h"

#include "core/quor_app.h"
#include "core/settings_keys.h"

namespace quor::ui {

ItemSettingsResult OpenItemSettings(QWidget*, core::CQuorApp& app, int boardNumber) {
    const core::SettingsStore& store = app.Store();
    ItemSettingsResult result;
    result.name =
        store.ReadString(core::kSectionTree, core::BoardKey(core::key::kName, boardNumber), "");
    result.url =
        store.ReadString(core::kSectionTree, core::BoardKey(core::key::kUrl, boardNumber), "");
    return result;
}

bool OpenEnvironmentSettings(QWidget*, core::CQuorApp&) {
    return false;
}

}  // namespace quor::ui
