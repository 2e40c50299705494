#include <QApplication>

#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char** argv)
{
    varnex::test::SetTestEnvironmentDefaults();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
