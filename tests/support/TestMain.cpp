#include "engine/base/Angle.h"

#include <gtest/gtest.h>

// The same main for both kinds of test program; only the application object differs: programs that
// show widgets need a QApplication, the others a QGuiApplication for fonts and painting.
#ifdef SMG_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    InitTrigTables();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
