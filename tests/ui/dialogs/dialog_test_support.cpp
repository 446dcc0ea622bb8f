#include "dialog_test_support.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "core/cp932.h"

namespace quor::test {

namespace {

QApplication* application = nullptr;

// The application goes before the program's static objects do: Qt's input devices die with it
// and must not outlive the statics of Qt's own libraries.
class ApplicationEnvironment final : public ::testing::Environment {
public:
    void TearDown() override {
        delete application;
        application = nullptr;
    }
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace

QApplication& App() {
    static int argc = 1;
    static char name[] = "quor_dialog_tests";
    static char* argv[] = {name, nullptr};
    if (!application) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = new QApplication(argc, argv);
    }
    return *application;
}

void RecordingStore::Record(std::string_view section, std::string_view key, std::string value) {
    const std::lock_guard lock(mutex_);
    writes_.push_back({std::string(section) + "/" + std::string(key), std::move(value)});
}

void RecordingStore::WriteInt(std::string_view section, std::string_view key, int value) {
    Record(section, key, std::to_string(value));
    inner_.WriteInt(section, key, value);
}

void RecordingStore::WriteString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    Record(section, key, std::string(value));
    inner_.WriteString(section, key, value);
}

void RecordingStore::RemoveKey(std::string_view section, std::string_view key) {
    Record(section, key, "<removed>");
    inner_.RemoveKey(section, key);
}

std::optional<std::string> RecordingStore::ReadRaw(std::string_view section,
                                                   std::string_view key) const {
    return inner_.ReadRaw(section, key);
}

std::vector<RecordingStore::Write> RecordingStore::Writes() const {
    const std::lock_guard lock(mutex_);
    return writes_;
}

std::vector<std::string> RecordingStore::WrittenKeys() const {
    std::vector<std::string> keys;
    for (const auto& write : Writes())
        keys.push_back(write.key);
    return keys;
}

void RecordingStore::Clear() {
    const std::lock_guard lock(mutex_);
    writes_.clear();
}

void TestStore::SetText(std::string_view section, std::string_view key, const std::string& utf8) {
    settings.WriteString(section, key, core::FromUtf8(utf8));
}

std::string TestStore::Text(std::string_view section, std::string_view key) const {
    return core::ToUtf8(settings.ReadString(section, key, "<missing>"));
}

void TestStore::SetInt(std::string_view section, std::string_view key, int value) {
    settings.WriteInt(section, key, value);
}

std::string TestStore::FileBytes() const {
    return TempDir::ReadFile(dir.Path() / "quor.ini");
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

int ExecWith(QDialog& dialog, const std::function<void()>& action, int timeoutMs) {
    bool acted = false;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(WaitUntil([&] { return dialog.isVisible(); })) << "dialog never shown";
        action();
        acted = true;
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&] {
        ADD_FAILURE() << "dialog still open after " << timeoutMs << " ms";
        dialog.reject();
    });
    guard.start(timeoutMs);
    const int result = dialog.exec();
    EXPECT_TRUE(acted) << "the action never ran";
    return result;
}

MessageBoxCatcher::MessageBoxCatcher() : timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            texts_.push_back(box->text());
            if (QAbstractButton* button = box->defaultButton())
                button->click();
            else
                box->done(QMessageBox::Ok);
        }
    });
    timer_->start(10);
}

MessageBoxCatcher::~MessageBoxCatcher() {
    timer_->stop();
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace quor::test
