#pragma once

// The environment settings dialog ("環境設定"): the global settings of section QUOR — proxy,
// number of boards fetched at once, timeout, thread priority (stored only), output directory and
// the three automatic actions.
//
// It loads every key when it opens, with the defaults it shows on a fresh store (thread count 5,
// port 0, timeout 120, priority 2 "普通"), and on OK, once every value is valid, writes
// PROXYENABLE, PROXYPORT, PROXYSV, TIMEOUT, THREADCOUNT, THREADPRIORITY, ODIR, AUTOSAVE,
// AUTOSAVEDATA and AUTOCHECK in this order. Cancel writes nothing.
//
// ODIR is a plain prefix of every board file name, so a folder picked with "..." gets a
// trailing "/"; a typed directory without one is accepted after a warning.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "core/settings_store.h"
#include "ui/dialogs/dialog_controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quor::ui {

class CEnvironmentDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinThreadCount = 1;
    static constexpr int kMaxThreadCount = 10;
    static constexpr int kMinTimeout = 1;
    static constexpr int kMaxTimeout = 10000;
    static constexpr int kMaxPort = 65535;

    CEnvironmentDialog(core::SettingsStore& store, QWidget* parent = nullptr);

    // Asks for a folder (the "..." button); gives nothing when the user cancels. The default
    // opens the folder picker titled "出力先選択" at the desktop.
    using FolderPicker = std::function<std::optional<QString>(QWidget* parent)>;
    static std::optional<QString> PickFolder(QWidget* parent);

    void accept() override;

private:
    friend struct CEnvironmentDialogTesting;

    QWidget* BuildProxyGroup();
    QWidget* BuildThreadGroup();
    QWidget* BuildOutputRows();
    void Load();
    std::optional<ui::FieldProblem> Validate() const;
    void WarnAboutPrefix(const QString& directory);
    void Write();
    void BrowseOutputDirectory();

    core::SettingsStore& store_;
    FolderPicker pickFolder_ = &CEnvironmentDialog::PickFolder;
    QString loadedOutputDirectory_;
    QCheckBox* proxyOn_ = nullptr;
    QLineEdit* proxyServer_ = nullptr;
    QLineEdit* proxyPort_ = nullptr;
    QLineEdit* threadCount_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QComboBox* priority_ = nullptr;
    QLineEdit* outputDirectory_ = nullptr;
    QCheckBox* autoCheck_ = nullptr;
    QCheckBox* autoSave_ = nullptr;
    QCheckBox* autoSaveData_ = nullptr;
};

}  // namespace quor::ui
