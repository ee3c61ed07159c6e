#include <QApplication>
#include <csignal>
#include <gtest/gtest.h>

// Every test program gets a QApplication on the offscreen platform, so widget
// tests run without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A shell starts background jobs with SIGINT ignored, and the program
    // rightly leaves an ignored SIGINT alone; the interrupt tests (and the
    // programs they start) need its default action or they wait forever.
    std::signal(SIGINT, SIG_DFL);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
