// The progress window: its percentage rules, the keys that must not close it, and the owner it
// disables and enables again.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "ui/storage/progress_window.h"

namespace quor::ui {
namespace {

struct PercentCase {
    int lower, upper, position;
    const char* expected;
};

TEST(ProgressPercent, FormulaWrapAndEmptyRange) {
    const PercentCase cases[] = {
        {0, 64, 32, "50%"}, {0, 64, 64, "100%"}, {0, 100, 150, "50%"}, {0, 100, 200, "0%"},
        {0, 100, 0, "0%"},  {0, 3, 1, "33%"},    {10, 20, 15, "50%"},  {0, 100, 199, "99%"},
        {0, 0, 0, "100%"},  {5, 5, 7, "100%"},   {0, 10, -5, "-50%"},
    };
    for (const PercentCase& c : cases) {
        EXPECT_EQ(ProgressPercentText(c.lower, c.upper, c.position), c.expected)
            << c.lower << ".." << c.upper << " at " << c.position;
    }
}

QLabel* Percent(CProgressWindow& window) {
    return window.findChild<QLabel*>(QStringLiteral("ctl1004"));
}

TEST(ProgressWindow, ShowsTextAndPercentageAndReturnsThePreviousPosition) {
    CProgressWindow window;
    QWidget owner;
    ASSERT_TRUE(window.OpenProgress(&owner));
    EXPECT_EQ(Percent(window)->text(), QStringLiteral(" 0 %"));
    window.SetProgressRange(0, 64);
    EXPECT_EQ(window.ShowProgress(0), 0);
    EXPECT_EQ(Percent(window)->text(), QStringLiteral("0%")) << "the template's blanks go";
    window.SetProgressText(QStringLiteral("データの書き込み中です..."));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("ctl1023"))->text(),
              QStringLiteral("データの書き込み中です..."));
    EXPECT_EQ(window.ShowProgress(32), 0);
    EXPECT_EQ(Percent(window)->text(), QStringLiteral("50%"));
    EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("ctl1003"))->value(), 32);
    EXPECT_EQ(window.ShowProgress(64), 32);
    EXPECT_EQ(Percent(window)->text(), QStringLiteral("100%"));
    window.SetProgressRange(0, 0);
    window.ShowProgress(0);
    EXPECT_EQ(Percent(window)->text(), QStringLiteral("100%")) << "an empty range";
}

TEST(ProgressWindow, EnterDoesNothingCancelAndEscapeOnlySetTheFlag) {
    CProgressWindow window;
    QWidget owner;
    window.OpenProgress(&owner);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.CancelRequested());

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("ctl2")), Qt::LeftButton);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.CancelRequested());
    EXPECT_FALSE(window.CancelRequested()) << "reading the flag clears it";

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.CancelRequested());

    window.close();
    EXPECT_TRUE(window.isVisible()) << "the close box only asks to cancel";
    EXPECT_TRUE(window.CancelRequested());
}

TEST(ProgressWindow, EnablesTheOwnerAgainOnlyIfItDisabledIt) {
    QWidget owner;
    {
        CProgressWindow window;
        window.OpenProgress(&owner);
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_TRUE(window.isEnabled()) << "the window itself stays usable";
        window.DestroyWindow();
        EXPECT_TRUE(owner.isEnabled());
    }
    owner.setEnabled(false);
    {
        CProgressWindow window;
        window.OpenProgress(&owner);
        window.DestroyWindow();
        EXPECT_FALSE(owner.isEnabled()) << "an owner that was disabled before stays disabled";
    }
    owner.setEnabled(true);
    {
        CProgressWindow window;
        window.OpenProgress(&owner);
    }
    EXPECT_TRUE(owner.isEnabled()) << "destruction re-enables too";
}

TEST(ProgressWindow, WithoutAnOwnerTheMainWindowIsDisabled) {
    QMainWindow main;
    main.show();
    auto display = OpenProgressDisplay(nullptr);
    EXPECT_FALSE(main.isEnabled());
    display->SetRange(0, 4);
    EXPECT_EQ(display->Show(2), 0);
    EXPECT_EQ(display->Show(3), 2);
    display.reset();
    EXPECT_TRUE(main.isEnabled());
}

}  // namespace
}  // namespace quor::ui
