// The main of every test executable: a QApplication on the offscreen platform.
// Boxes and dialogs go through a session's prompter, which the test folders and
// GuardedPrompter guard (support/scripted_messages.h).
#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
