#include <QGuiApplication>
#include <gtest/gtest.h>

// Core tests: no windows, but reports measure text and draw pictures, which want a GUI
// application (off screen).
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
