#include "ui/fetch/page_turn_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "core/settings_keys.h"
#include "ui/common/widget_text.h"

namespace quor::ui {

namespace {

using ui::Named;

// Filled by position, unsorted: NextAna is the position.
const std::array kAnalysisTypes = {"Searchの後", "Searchの前", "リンク", "Formブロック"};

QLabel* Label(const char* utf8, QWidget* parent) {
    return new QLabel(Utf8ToQString(utf8), parent);
}

}  // namespace

CPageTurnPage::CPageTurnPage(core::SettingsStore& store, int boardNumber, QWidget* parent)
    : CSettingsPage(parent), store_(store), boardNumber_(boardNumber) {
    setObjectName(QStringLiteral("dlg142"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildHeaderRows());
    layout->addWidget(BuildPageTurnGroup());
    layout->addStretch(1);
    Load();
}

QWidget* CPageTurnPage::BuildHeaderRows() {
    auto* rows = new QWidget(this);
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    refererOn_ =
        ui::MakeCheckBox(1002, Utf8ToQString("Refereを設定する"),
                         Utf8ToQString("Referer文字列を使用するときにチェックします"), rows);
    referer_ = ui::MakeLineEdit(1000, Utf8ToQString("Referer文字列を指定します"), rows);
    cookieOn_ = ui::MakeCheckBox(1031, Utf8ToQString("Cookieを送る"),
                                 Utf8ToQString("クッキーを使用するときにチェックします"), rows);
    cookie_ = ui::MakeLineEdit(1025, Utf8ToQString("クッキー文字列を指定します"), rows);
    grid->addWidget(refererOn_, 0, 0);
    grid->addWidget(referer_, 0, 1);
    grid->addWidget(cookieOn_, 1, 0);
    grid->addWidget(cookie_, 1, 1);
    grid->setColumnStretch(1, 1);
    return rows;
}

QWidget* CPageTurnPage::BuildPageTurnGroup() {
    auto* group = new QGroupBox(Utf8ToQString("ページめくり設定"), this);
    auto* grid = new QGridLayout(group);

    pageCount_ = ui::MakeLineEdit(1001, Utf8ToQString("読み込むページを指定します"), group);
    pageCount_->setMaximumWidth(
        pageCount_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 2);
    auto* countRow = new QHBoxLayout;
    countRow->setSpacing(0);
    countRow->addWidget(pageCount_);
    countRow->addWidget(
        new ui::CUpDownControl(1027, pageCount_, kMinPageCount, kMaxPageCount, group));
    countRow->addSpacing(4);
    countRow->addWidget(Label("Pageまで", group));
    countRow->addStretch(1);

    post_ = Named(new QRadioButton(QStringLiteral("POST"), group), 1029);
    post_->setToolTip(Utf8ToQString("POSTで送信するときに指定します．が未実装です"));
    get_ = Named(new QRadioButton(QStringLiteral("GET"), group), 1030);
    get_->setToolTip(Utf8ToQString("GETで送信するときに指定します．が未実装です"));
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(post_, 0);
    buttons->addButton(get_, 1);
    auto* methodRow = new QHBoxLayout;
    methodRow->addWidget(Label("送信方式", group));
    methodRow->addWidget(post_);
    methodRow->addWidget(get_);
    methodRow->addStretch(1);

    nextUrl_ = Named(new QLineEdit(group), 1033);
    searchText_ = ui::MakeLineEdit(1003, Utf8ToQString("検索用文字列です"), group);
    analysisType_ = Named(new QComboBox(group), 1005);
    for (int position = 0; position < static_cast<int>(kAnalysisTypes.size()); ++position)
        analysisType_->insertItem(
            position, Utf8ToQString(kAnalysisTypes[static_cast<std::size_t>(position)]));
    analysisType_->setToolTip(Utf8ToQString("次へページの解析方法を指定します"));
    sendText_ = Named(new QPlainTextEdit(group), 1004);
    sendText_->setToolTip(Utf8ToQString("送信用文字列です"));
    sendText_->setTabChangesFocus(true);
    sendText_->setFixedHeight(sendText_->fontMetrics().lineSpacing() * 3 + 10);

    grid->addLayout(countRow, 0, 0, 1, 2);
    grid->addLayout(methodRow, 0, 2, 1, 2);
    grid->addWidget(Label("Next用URL", group), 1, 0);
    grid->addWidget(nextUrl_, 1, 1, 1, 3);
    grid->addWidget(Label("サーチ文字列", group), 2, 0);
    grid->addWidget(searchText_, 2, 1);
    grid->addWidget(Label("解析タイプ", group), 2, 2);
    grid->addWidget(analysisType_, 2, 3);
    grid->addWidget(Label("送信文字列", group), 3, 0, Qt::AlignTop);
    grid->addWidget(sendText_, 3, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    return group;
}

void CPageTurnPage::Load() {
    post_->setChecked(true);
    pageCount_->setText(QString::number(0));
    if (boardNumber_ < 1)
        return;

    const auto key = [&](std::string_view stem) { return core::BoardKey(stem, boardNumber_); };
    const auto readText = [&](std::string_view stem, std::string_view fallback) {
        return ui::Cp932ToQString(store_.ReadString(core::kSectionTree, key(stem), fallback));
    };
    const auto readInt = [&](std::string_view stem, int fallback) {
        return store_.ReadInt(core::kSectionTree, key(stem), fallback);
    };
    const QString referer = readText(core::key::kReferer, "");
    refererOn_->setChecked(!referer.isEmpty());
    ui::ShowLoadedText(referer_, referer);
    const QString cookie = readText(core::key::kCookie, "");
    cookieOn_->setChecked(!cookie.isEmpty());
    ui::ShowLoadedText(cookie_, cookie);
    pageCount_->setText(
        QString::number(readInt(core::key::kPageCount, core::defaults::kPageCount)));
    ui::ShowLoadedText(
        searchText_, readText(core::key::kPageSearchText, core::defaults::kPageSearchTextInDialog));
    sendText_->setPlainText(
        readText(core::key::kPageParameter, core::defaults::kPageParameterInDialog));
    analysisType_->setCurrentIndex(
        readInt(core::key::kNextPageMethod, core::defaults::kNextPageMethod));

    // A stored choice that is neither POST nor GET shows neither.
    const int method = readInt(core::key::kPostGetChoice, core::defaults::kPostGetChoice);
    post_->group()->setExclusive(false);
    post_->setChecked(method == 0);
    get_->setChecked(method == 1);
    post_->group()->setExclusive(true);
}

std::optional<ui::FieldProblem> CPageTurnPage::Validate() const {
    return ui::CheckNumberField(pageCount_, Utf8ToQString("Pageまで"), kMinPageCount,
                                kMaxPageCount);
}

std::optional<ui::FieldProblem> CPageTurnPage::SavePage() {
    if (auto problem = Validate())
        return problem;
    if (boardNumber_ < 1)
        return std::nullopt;

    const auto key = [&](std::string_view stem) { return core::BoardKey(stem, boardNumber_); };
    const auto writeText = [&](std::string_view stem, const QString& text) {
        store_.WriteString(core::kSectionTree, key(stem), ui::QStringToCp932(text));
    };
    const auto pageCount = ui::ParseNumberField(pageCount_->text(), kMinPageCount, kMaxPageCount);
    writeText(core::key::kReferer, refererOn_->isChecked() ? referer_->text() : QString());
    writeText(core::key::kCookie, cookieOn_->isChecked() ? cookie_->text() : QString());
    store_.WriteInt(core::kSectionTree, key(core::key::kPageCount), static_cast<int>(*pageCount));
    writeText(core::key::kPageSearchText, searchText_->text());
    writeText(core::key::kPageParameter, sendText_->toPlainText());
    store_.WriteInt(core::kSectionTree, key(core::key::kNextPageMethod),
                    analysisType_->currentIndex());
    return std::nullopt;
}

}  // namespace quor::ui
