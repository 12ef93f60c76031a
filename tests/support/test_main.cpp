// The main of every test executable: a QApplication on the offscreen platform,
// and a message service that fails the test for any box nobody scripted.
#include "support/scripted_messages.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    velmara::test::UnscriptedMessagesFail guard;
    return RUN_ALL_TESTS();
}
