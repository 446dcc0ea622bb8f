#pragma once

// The one crossing between the texts the widgets show and the program's byte strings. Engine
// text is code page 932 and goes through core's CP932 helpers (iconv), never through a Qt
// codec, so widgets, the engine and quorcli agree on every character; the program's own tables
// (labels, menu texts, resource paths) are UTF-8.

#include <QString>
#include <string>
#include <string_view>

namespace quor::ui {

// Engine text (code page 932) for a widget.
QString Cp932ToQString(std::string_view cp932);
// A widget's text for the engine: code page 932, with 〓 for a character CP932 lacks.
std::string QStringToCp932(const QString& text);

// A UTF-8 text of the program's own for a widget.
QString Utf8ToQString(std::string_view utf8);

}  // namespace quor::ui
