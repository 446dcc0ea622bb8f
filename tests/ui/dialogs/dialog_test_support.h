#pragma once

// Helpers of the dialog tests: the application object for headless widget tests, a real
// settings store in a temporary directory, a store decorator that records every write in order,
// and the means to drive modal dialogs and the message boxes they open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "settings/qsettings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/dialog_controls.h"

namespace quor::test {

// The one QApplication of the test program, offscreen unless the caller chose a platform.
QApplication& App();

// Passes every call on to another store and records each write, in order.
class RecordingStore final : public core::SettingsStore {
public:
    struct Write {
        std::string key;    // "Section/Key"
        std::string value;  // CP932 text, integers in decimal
        bool operator==(const Write&) const = default;
    };

    explicit RecordingStore(core::SettingsStore& inner) : inner_(inner) {}

    void WriteInt(std::string_view section, std::string_view key, int value) override;
    void WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;
    std::optional<std::string> ReadRaw(std::string_view section,
                                       std::string_view key) const override;

    std::vector<Write> Writes() const;
    // The written keys alone, "Section/Key", in order.
    std::vector<std::string> WrittenKeys() const;
    void Clear();

private:
    void Record(std::string_view section, std::string_view key, std::string value);

    core::SettingsStore& inner_;
    mutable std::mutex mutex_;
    std::vector<Write> writes_;
};

// A QSettings-backed store in a fresh temporary directory, seen through a recorder.
struct TestStore {
    TempDir dir;
    core::QSettingsStore settings{(dir.Path() / "quor.ini").string()};
    RecordingStore store{settings};

    // Store values are CP932: these take and give UTF-8 for readable tests.
    void SetText(std::string_view section, std::string_view key, const std::string& utf8);
    std::string Text(std::string_view section, std::string_view key) const;
    void SetInt(std::string_view section, std::string_view key, int value);
    // The settings file as it stands, to show that nothing at all was written.
    std::string FileBytes() const;
};

// Waits, handling events, until the condition holds or the time is up; gives the condition.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the dialog modally and calls the action once it is shown; the action must close it.
// A dialog still open after the time limit is rejected and the test fails.
int ExecWith(QDialog& dialog, const std::function<void()>& action, int timeoutMs = 15000);

// While it lives, answers every message box that opens with its default button and keeps the
// texts it showed.
class MessageBoxCatcher final {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<QString>& Texts() const { return texts_; }

private:
    std::unique_ptr<QTimer> timer_;
    std::vector<QString> texts_;
};

// The control of the given resource id below the widget (the nearest one: direct children
// first); fails the test when there is none.
template <typename Widget>
Widget* Control(const QWidget* parent, int id) {
    auto* widget = parent->findChild<Widget*>(ui::ControlName(id));
    if (!widget)
        ADD_FAILURE() << "no control " << id << " below " << parent->objectName().toStdString();
    return widget;
}

QString U(const char* utf8);
// The UTF-8 text a widget shows, for comparisons with literals.
std::string Utf8(const QString& text);

}  // namespace quor::test
