// Test main for the window tests: a QApplication on the offscreen platform.

#include "ui/common/WindowPlacement.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // windows open as the program opens them: whole on the screen
    vaskel::TWindowPlacement::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
