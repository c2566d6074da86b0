#include "app/AllWindows.h"
#include "platform/ui/AppFont.h"
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    appfont::install();
    gAllWindowsRegister();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
