#include "ui/dialogs/item_settings_call.h"

#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "ui/dialogs/item_settings_dialog.h"
#include "ui/fetch/environment_dialog.h"

namespace quor::ui {

ItemSettingsResult OpenItemSettings(QWidget* parent, core::CQuorApp& app, int boardNumber) {
    CItemSettingsDialog dialog(app.Store(), boardNumber, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {accepted, dialog.Name(), dialog.Url()};
}

bool OpenEnvironmentSettings(QWidget* parent, core::CQuorApp& app) {
    ui::CEnvironmentDialog dialog(app.Store(), parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quor::ui
