#include <QCoreApplication>

#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char** argv)
{
    varnex::test::SetTestEnvironmentDefaults();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
