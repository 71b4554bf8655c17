#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv)
{
    // gtest_discover_tests runs the binary without the ctest environment, so the platform is set here,
    // before any application object exists.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
