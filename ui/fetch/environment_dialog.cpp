#include "ui/fetch/environment_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <array>

#include "core/settings_keys.h"
#include "ui/common/widget_text.h"

namespace quor::ui {

namespace {

using ui::Named;

// Filled by position: THREADPRIORITY is the position.
const std::array kPriorities = {"最優先", "優先", "普通", "遅い"};

QLabel* Label(const char* utf8, QWidget* parent) {
    return new QLabel(Utf8ToQString(utf8), parent);
}

int ReadGlobal(const core::SettingsStore& store, std::string_view key, int fallback) {
    return store.ReadInt(core::kSectionGlobal, key, fallback);
}

}  // namespace

CEnvironmentDialog::CEnvironmentDialog(core::SettingsStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("dlg138"));
    setWindowTitle(Utf8ToQString("環境設定"));

    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), 1);
    ok->setDefault(true);
    auto* cancel = Named(new QPushButton(Utf8ToQString("ｷｬﾝｾﾙ"), this), 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(BuildProxyGroup(), 1);
    top->addWidget(BuildThreadGroup());
    top->addLayout(buttons);

    autoCheck_ =
        ui::MakeCheckBox(1028, Utf8ToQString("全取得後に自動的に未読チェック"),
                         Utf8ToQString("全取得終了後に自動的に未読チェックを行います"), this);
    autoSave_ = ui::MakeCheckBox(1031, Utf8ToQString("終了するときに既読情報の自動書き込み"),
                                 Utf8ToQString("終了時に自動的に既読情報を書き出します"), this);
    autoSaveData_ =
        ui::MakeCheckBox(1032, Utf8ToQString("終了するときに掲示板自動書き込み"),
                         Utf8ToQString("終了時に自動的に掲示板データを書き出します"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(BuildOutputRows());
    layout->addWidget(autoCheck_);
    layout->addWidget(autoSave_);
    layout->addWidget(autoSaveData_);
    Load();
}

QWidget* CEnvironmentDialog::BuildProxyGroup() {
    auto* group = new QGroupBox(QStringLiteral("Proxy"), this);
    proxyOn_ = ui::MakeCheckBox(1002, Utf8ToQString("Proxyを使う"),
                                Utf8ToQString("Proxyを使うときにチェックします"), group);
    proxyServer_ = ui::MakeLineEdit(1000, Utf8ToQString("Proxyサーバー名"), group);
    proxyPort_ = ui::MakeLineEdit(1001, Utf8ToQString("Proxyポート番号"), group);
    proxyPort_->setMaximumWidth(proxyPort_->fontMetrics().horizontalAdvance(QStringLiteral("0")) *
                                12);
    auto* grid = new QGridLayout(group);
    grid->addWidget(proxyOn_, 0, 0, 1, 2);
    grid->addWidget(Label("Proxy ServerName", group), 1, 0);
    grid->addWidget(Label("Port", group), 1, 1);
    grid->addWidget(proxyServer_, 2, 0);
    grid->addWidget(proxyPort_, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    return group;
}

QWidget* CEnvironmentDialog::BuildThreadGroup() {
    auto* group = new QGroupBox(QStringLiteral("Thread"), this);
    threadCount_ = ui::MakeLineEdit(1003, Utf8ToQString("スレッド数"), group);
    timeout_ = ui::MakeLineEdit(1004, Utf8ToQString("タイムアウト秒数"), group);
    priority_ = Named(new QComboBox(group), 1005);
    for (int position = 0; position < static_cast<int>(kPriorities.size()); ++position)
        priority_->insertItem(position,
                              Utf8ToQString(kPriorities[static_cast<std::size_t>(position)]));
    priority_->setToolTip(Utf8ToQString("スレッド優先度(未実装)"));
    const int numberWidth = timeout_->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 9;
    threadCount_->setMaximumWidth(numberWidth);
    timeout_->setMaximumWidth(numberWidth);

    auto* countRow = new QHBoxLayout;
    countRow->setSpacing(0);
    countRow->addWidget(threadCount_);
    countRow->addWidget(
        new ui::CUpDownControl(1027, threadCount_, kMinThreadCount, kMaxThreadCount, group));
    countRow->addStretch(1);

    auto* grid = new QGridLayout(group);
    grid->addWidget(Label("Thread数", group), 0, 0);
    grid->addLayout(countRow, 0, 1);
    grid->addWidget(Label("TimeOut", group), 1, 0);
    grid->addWidget(timeout_, 1, 1);
    grid->addWidget(Label("Priority", group), 2, 0);
    grid->addWidget(priority_, 2, 1);
    return group;
}

QWidget* CEnvironmentDialog::BuildOutputRows() {
    auto* rows = new QWidget(this);
    outputDirectory_ = ui::MakeLineEdit(1025, Utf8ToQString("ログ出力先"), rows);
    auto* browse = Named(new QPushButton(QStringLiteral("..."), rows), 1026);
    browse->setAutoDefault(false);
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3);
    connect(browse, &QPushButton::clicked, this, &CEnvironmentDialog::BrowseOutputDirectory);
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Label("データ格納ディレクトリ", rows), 0, 0, 1, 2);
    grid->addWidget(outputDirectory_, 1, 0);
    grid->addWidget(browse, 1, 1);
    return rows;
}

void CEnvironmentDialog::Load() {
    namespace key = core::key;
    namespace defaults = core::defaults;
    // The readers act on exactly 1, so only that shows a ticked box.
    proxyOn_->setChecked(ReadGlobal(store_, key::kProxyEnable, defaults::kProxyEnable) == 1);
    ui::ShowLoadedText(proxyServer_, ui::Cp932ToQString(store_.ReadString(core::kSectionGlobal,
                                                                          key::kProxyServer, "")));
    proxyPort_->setText(
        QString::number(ReadGlobal(store_, key::kProxyPort, defaults::kProxyPortInDialog)));
    threadCount_->setText(
        QString::number(ReadGlobal(store_, key::kThreadCount, defaults::kThreadCountInDialog)));
    timeout_->setText(QString::number(ReadGlobal(store_, key::kTimeout, defaults::kTimeout)));
    priority_->setCurrentIndex(ReadGlobal(store_, key::kThreadPriority, defaults::kThreadPriority));
    loadedOutputDirectory_ =
        ui::Cp932ToQString(store_.ReadString(core::kSectionGlobal, key::kOutputDirectory, ""));
    ui::ShowLoadedText(outputDirectory_, loadedOutputDirectory_);
    autoCheck_->setChecked(ReadGlobal(store_, key::kAutoCheck, defaults::kAutoCheck) == 1);
    autoSave_->setChecked(ReadGlobal(store_, key::kAutoSave, defaults::kAutoSave) == 1);
    autoSaveData_->setChecked(ReadGlobal(store_, key::kAutoSaveData, defaults::kAutoSaveData) == 1);
}

std::optional<ui::FieldProblem> CEnvironmentDialog::Validate() const {
    if (auto problem = ui::CheckNumberField(proxyPort_, QStringLiteral("Port"), 0, kMaxPort))
        return problem;
    if (auto problem = ui::CheckNumberField(threadCount_, Utf8ToQString("Thread数"),
                                            kMinThreadCount, kMaxThreadCount))
        return problem;
    return ui::CheckNumberField(timeout_, QStringLiteral("TimeOut"), kMinTimeout, kMaxTimeout);
}

void CEnvironmentDialog::accept() {
    if (const auto problem = Validate()) {
        ui::ReportProblem(this, *problem);
        return;
    }
    const QString directory = outputDirectory_->text();
    if (directory != loadedOutputDirectory_ && !directory.isEmpty() &&
        !directory.endsWith(QLatin1Char('/')))
        WarnAboutPrefix(directory);
    Write();
    QDialog::accept();
}

void CEnvironmentDialog::WarnAboutPrefix(const QString& directory) {
    static const char* const kWarning =
        "データ格納ディレクトリが \"/\" で終わっていません。\n"
        "掲示板のファイルはその中ではなく、名前の先頭に「%1」を付けて作られます。";
    QMessageBox::warning(this, windowTitle(),
                         Utf8ToQString(kWarning).arg(directory.section(QLatin1Char('/'), -1)));
}

void CEnvironmentDialog::Write() {
    namespace key = core::key;
    const auto number = [](const QLineEdit* edit, long long maximum) {
        return static_cast<int>(ui::ParseNumberField(edit->text(), 0, maximum).value_or(0));
    };
    const auto writeInt = [&](std::string_view name, int value) {
        store_.WriteInt(core::kSectionGlobal, name, value);
    };
    const auto writeText = [&](std::string_view name, const QString& text) {
        store_.WriteString(core::kSectionGlobal, name, ui::QStringToCp932(text));
    };
    // A stored priority that no entry has shows no selection and is written back unchanged.
    const int priority =
        priority_->currentIndex() >= 0
            ? priority_->currentIndex()
            : ReadGlobal(store_, key::kThreadPriority, core::defaults::kThreadPriority);
    writeInt(key::kProxyEnable, proxyOn_->isChecked() ? 1 : 0);
    writeInt(key::kProxyPort, number(proxyPort_, kMaxPort));
    writeText(key::kProxyServer, proxyServer_->text());
    writeInt(key::kTimeout, number(timeout_, kMaxTimeout));
    writeInt(key::kThreadCount, number(threadCount_, kMaxThreadCount));
    writeInt(key::kThreadPriority, priority);
    writeText(key::kOutputDirectory, outputDirectory_->text());
    writeInt(key::kAutoSave, autoSave_->isChecked() ? 1 : 0);
    writeInt(key::kAutoSaveData, autoSaveData_->isChecked() ? 1 : 0);
    writeInt(key::kAutoCheck, autoCheck_->isChecked() ? 1 : 0);
}

std::optional<QString> CEnvironmentDialog::PickFolder(QWidget* parent) {
    QFileDialog picker(parent, Utf8ToQString("出力先選択"),
                       QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    picker.setObjectName(QStringLiteral("folderPicker"));
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty())
        return std::nullopt;
    return picker.selectedFiles().constFirst();
}

void CEnvironmentDialog::BrowseOutputDirectory() {
    std::optional<QString> folder = pickFolder_(this);
    if (!folder || folder->isEmpty())
        return;
    // The directory is a plain prefix of the board files' names: without the separator they
    // would land beside the folder, named after it.
    if (!folder->endsWith(QLatin1Char('/')))
        folder->append(QLatin1Char('/'));
    outputDirectory_->setText(*folder);
}

}  // namespace quor::ui
