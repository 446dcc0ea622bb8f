// Widget tests need one QApplication for the whole run; they run headless unless a platform is
// chosen from outside.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/frame/command_table.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    quor::ui::InitResources();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
