#include "ui/common/widget_text.h"

#include "core/cp932.h"

namespace quor::ui {

QString Cp932ToQString(std::string_view cp932) {
    return Utf8ToQString(core::ToUtf8(cp932));
}

std::string QStringToCp932(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return core::FromUtf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString Utf8ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace quor::ui
