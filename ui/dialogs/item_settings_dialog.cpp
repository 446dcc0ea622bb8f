#include "ui/dialogs/item_settings_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "core/settings_keys.h"
#include "ui/common/widget_text.h"
#include "ui/convert/bbs_type_page.h"
#include "ui/convert/conversion_page.h"
#include "ui/fetch/page_turn_page.h"

namespace quor::ui {

namespace {}  // namespace

CItemSettingsDialog::CItemSettingsDialog(core::SettingsStore& store, int boardNumber,
                                         QWidget* parent, const std::string& initialName,
                                         const std::string& initialUrl)
    : QDialog(parent),
      store_(store),
      boardNumber_(boardNumber),
      name_(initialName),
      url_(initialUrl) {
    setObjectName(QStringLiteral("dlg135"));
    setWindowTitle(Utf8ToQString("設定"));

    nameEdit_ = MakeLineEdit(1000, Utf8ToQString("表示する項目の名前です"), this);
    urlEdit_ = MakeLineEdit(1001, Utf8ToQString("ここにhttp://からURLを入力します"), this);
    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), 1);
    ok->setDefault(true);
    auto* cancel = Named(new QPushButton(Utf8ToQString("ｷｬﾝｾﾙ"), this), 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Each page loads its own keys as it is built, in tab order.
    tabs_ = Named(new QTabWidget(this), 1006);
    bbsTypePage_ = new ui::CBbsTypePage(store_, boardNumber_, tabs_);
    pageTurnPage_ = new ui::CPageTurnPage(store_, boardNumber_, tabs_);
    conversionPage_ = new ui::CConversionPage(store_, boardNumber_, tabs_);
    tabs_->addTab(bbsTypePage_, Utf8ToQString("変換設定"));
    tabs_->addTab(pageTurnPage_, Utf8ToQString("取得設定"));
    tabs_->addTab(conversionPage_, Utf8ToQString("変換設定2"));

    if (boardNumber_ >= 1) {
        name_ = store_.ReadString(core::kSectionTree,
                                  core::BoardKey(core::key::kName, boardNumber_), name_);
        url_ = store_.ReadString(core::kSectionTree, core::BoardKey(core::key::kUrl, boardNumber_),
                                 url_);
    }
    ShowLoadedText(nameEdit_, Cp932ToQString(name_));
    ShowLoadedText(urlEdit_, Cp932ToQString(url_));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Utf8ToQString("項目名"), this), 0, 0);
    grid->addWidget(nameEdit_, 0, 1);
    grid->addWidget(ok, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("URL"), this), 1, 0);
    grid->addWidget(urlEdit_, 1, 1);
    grid->addWidget(cancel, 1, 2);
    grid->addWidget(tabs_, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
}

void CItemSettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // No field has the focus at first; the dialog itself takes it.
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    setFocus(Qt::OtherFocusReason);
}

std::optional<FieldProblem> CItemSettingsDialog::Validate() const {
    // The name is the base name of the board's files, so it must not lead into another folder.
    const QString name = nameEdit_->text();
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        return FieldProblem{
            nameEdit_,
            Utf8ToQString("項目名に \"/\" や \"\\\" は使えません（ファイル名になります）。")};
    }
    if (QStringToCp932(urlEdit_->text()).size() >= kUrlLimit) {
        return FieldProblem{
            urlEdit_,
            Utf8ToQString("URLが長すぎます。%1 バイト未満で入力してください。").arg(kUrlLimit)};
    }
    return pageTurnPage_->Validate();
}

void CItemSettingsDialog::accept() {
    if (const auto problem = Validate()) {
        ReportProblem(this, *problem);
        return;
    }
    // Pages without a board number have no keys; each page knows that and writes nothing.
    bbsTypePage_->SaveBbsTypePage();
    pageTurnPage_->SavePage();
    conversionPage_->SaveConversionPage();
    name_ = QStringToCp932(nameEdit_->text());
    url_ = QStringToCp932(urlEdit_->text());
    QDialog::accept();
}

}  // namespace quor::ui
