// The Qt frontend: calls from worker threads reach the widgets on the GUI thread and wait for
// them, and a waiting worker lets go as soon as the program is closing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "desktop_fixture.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {
namespace {

using namespace std::chrono_literals;

class QtFrontendTest : public test::DesktopTest {};

TEST_F(QtFrontendTest, WorkerCallsReachTheWidgetsAndWaitForThem) {
    test::PutPosts(*app_, 0, {{"a", "", "", "", 1}, {"b", "", "", "", 0}});
    Start();
    std::atomic<bool> done{false};
    std::atomic<bool> filledWhenReturned{false};
    std::thread worker([&] {
        app_->SetStatusText(test::Sjis("取得中"));
        app_->RefreshPostList();
        filledWhenReturned = Frame().ListView()->Model().rowCount() == 2;
        done = true;
    });
    EXPECT_TRUE(test::WaitUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(filledWhenReturned) << "the refill was done when the call returned";
    EXPECT_EQ(Frame().StatusLine(), QStringLiteral("取得中"));
}

TEST_F(QtFrontendTest, AWarningFromAWorkerWaitsUntilTheBoxIsClosed) {
    Start();
    std::atomic<bool> returned{false};
    QString text, caption;
    bool returnedWhileOpen = true;
    // The box runs its own event loop inside the GUI thread's, so it is closed from a timer.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        poll.stop();
        text = box->text();
        caption = box->windowTitle();
        QTest::qWait(100);
        returnedWhileOpen = returned.load();
        box->accept();
    });
    poll.start();
    std::thread worker([&] {
        app_->Ui().ShowWarning("TIMEOUT", "ERROR");
        returned = true;
    });
    EXPECT_TRUE(test::WaitUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(text, QStringLiteral("TIMEOUT"));
    EXPECT_EQ(caption, QStringLiteral("ERROR"));
    EXPECT_FALSE(returnedWhileOpen) << "the worker waits while the box is open";
}

TEST_F(QtFrontendTest, AWaitingWorkerLetsGoWhenTheProgramCloses) {
    Start();
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        // The GUI thread handles no events meanwhile: without the closing flag this would wait
        // for ever.
        app_->SetStatusText("never shown");
        returned = true;
    });
    std::this_thread::sleep_for(150ms);
    EXPECT_FALSE(returned);
    const auto closedAt = std::chrono::steady_clock::now();
    frontend_.SetClosing();
    while (!returned && std::chrono::steady_clock::now() - closedAt < 2s)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(returned);
    EXPECT_LT(std::chrono::steady_clock::now() - closedAt, 500ms);
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_NE(Frame().StatusLine(), QStringLiteral("never shown"))
        << "abandoned work does not run later";

    // Once closing, a worker does not wait at all, and the GUI thread still calls directly.
    std::thread late([&] { app_->SetStatusText("late"); });
    late.join();
    frontend_.SetStatusText("direct");
    EXPECT_EQ(Frame().StatusLine(), QStringLiteral("direct"));
}

TEST_F(QtFrontendTest, ProgressDisplaysExistOnlyOnTheGuiThread) {
    Start();
    {
        auto progress = frontend_.OpenProgress();
        EXPECT_FALSE(Frame().isEnabled());
        progress->SetRange(0, 2);
        progress->Show(1);
    }
    EXPECT_TRUE(Frame().isEnabled());
    std::thread worker([&] {
        auto progress = frontend_.OpenProgress();
        progress->Show(1);
    });
    worker.join();
    EXPECT_TRUE(Frame().isEnabled());
}

}  // namespace
}  // namespace quor::ui
