// The messages of a start-up that cannot go on (the fatal ones, the lock and the
// empty file are seen through the main window's start-up tests).
#include "base/core/startupmessages.h"

#include <gtest/gtest.h>

namespace velmara {
namespace {

// They name what failed and why; damage is a warning the program goes on after.
TEST(StartupMessages, NameTheFileOrFolderAndTheReason) {
    const ProgramFolder::Choice folder{ProgramFolder("/opt/velmara"), "it is read-only"};
    for (const QString l : {"de", "en"}) {
        const Message unusable = unusableFolderMessage(l, folder);
        EXPECT_TRUE(unusable.text.contains("/opt/velmara/Daten")) << unusable.text.toStdString();
        EXPECT_TRUE(unusable.text.contains("it is read-only"));
        const Message damage = fileDamageMessage(l, "/d/velmara.mdb", "row 3");
        EXPECT_TRUE(damage.text.contains("/d/velmara.mdb") && damage.text.contains("row 3"))
            << damage.text.toStdString();
        EXPECT_EQ(damage.icon, MsgIcon::Exclamation);
    }
}

} // namespace
} // namespace velmara
