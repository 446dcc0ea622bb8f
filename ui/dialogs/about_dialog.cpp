#include "ui/dialogs/about_dialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QtGlobal>

#include "ui/common/widget_text.h"
#include "ui/frame/command_table.h"

namespace quor::ui {

void ShowAboutBox(QWidget* parent) {
    QDialog box(parent);
    box.setObjectName(QStringLiteral("dlg100"));
    box.setWindowTitle(QStringLiteral("Mirubo　ﾊﾞｰｼﾞｮﾝ"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(QPixmap(Utf8ToQString(kApplicationIcon)).scaled(32, 32));
    auto* version = new QLabel(QStringLiteral("Mirubo Version 0.62"), &box);
    version->setObjectName(QStringLiteral("aboutVersion"));
    auto* further = new QLabel(
        QStringLiteral("Qt %1 で動作しています").arg(QString::fromLatin1(qVersion())), &box);
    further->setObjectName(QStringLiteral("aboutFurther"));
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setObjectName(QStringLiteral("ctl1"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* layout = new QGridLayout(&box);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(further, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    box.exec();
}

}  // namespace quor::ui
