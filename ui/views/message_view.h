#pragma once

// The message view: the lower right pane. Shows one post in full, or a board's raw page text for
// the tree's buffer preview. The user may scroll, select, copy and type; nothing typed is stored,
// and the next text set replaces everything.

#include <QTextEdit>
#include <string_view>

#include "ui/frame/command_target.h"

namespace quor::ui {

class CQuorDownView final : public QTextEdit, public CommandTarget {
    Q_OBJECT
public:
    explicit CQuorDownView(QWidget* parent = nullptr);

    // Replaces the whole content by code page 932 text; CR LF line ends become lines.
    void SetText(std::string_view cp932);
    // The shown text with the CR LF line ends it was given.
    std::string Text() const;

    // Edit commands while this view is active: undo, cut, copy, paste.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

    // The face the view shows text in: "ＭＳ ゴシック" when installed, otherwise an installed
    // Japanese monospace face.
    static QString ChooseFontFamily();
};

}  // namespace quor::ui
