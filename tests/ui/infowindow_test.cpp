// The information window and what it tells about the program and the machine.
#include "selection_fixture.h"

#include "ui/dialogs/infowindow.h"
#include "ui/dialogs/systeminfo.h"

#include <QSysInfo>
#include <QTemporaryDir>

namespace velmara::test {
namespace {

TEST(SystemInfo, SummarisesProcessorAndMemoryFromProcTexts) {
    const QString cpuinfo = "processor\t: 0\nvendor_id\t: GenuineIntel\n"
                            "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n\n"
                            "processor\t: 1\nmodel name\t: Intel(R) Core(TM) i5-8250U CPU @ "
                            "1.60GHz\n";
    EXPECT_EQ(cpuSummary(cpuinfo), "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz \u00d7 2");
    EXPECT_EQ(cpuSummary("processor\t: 0\nHardware\t: BCM2835\n"), "");
    EXPECT_EQ(memorySummary("MemFree:  1000 kB\nMemTotal:       16303648 kB\n"), "15.5 GiB");
    EXPECT_EQ(memorySummary("MemFree:  1000 kB\n"), "");
    EXPECT_EQ(memorySummary("MemTotal: 16303648 kB\n", QLocale("de")), "15,5 GiB");
}

class InfoWindowTest : public SelectionFixture {};

TEST_F(InfoWindowTest, NamesVersionAndLibrariesAndFallsBackToItsOwnSummary) {
    QTemporaryDir emptyPath(testTempRoot() + "/path-XXXXXX");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toUtf8()); // no system-information tool anywhere
    ScriptedDialogs dialogs(session().prompter());
    ScriptedMessages boxes(session());
    boxes.expect(QSysInfo::kernelType());
    dialogs.expect("frmInfo", [this](QDialog* d) {
        EXPECT_EQ(text(d, "lblProgramName"), session().text("0001"));
        EXPECT_TRUE(text(d, "lblVersion").startsWith("Version: "));
        EXPECT_TRUE(text(d, "lblVersion")
                        .endsWith(QStringLiteral(" %1.%2.%3")
                                      .arg(VELMARA_VERSION_MAJOR)
                                      .arg(VELMARA_VERSION_MINOR)
                                      .arg(VELMARA_VERSION_PATCH)));
        const QString libraries = text(d, "lblLibraries");
        EXPECT_TRUE(libraries.contains(QStringLiteral("Qt ") + qVersion()));
        EXPECT_TRUE(libraries.contains("SQLite 3."));
        EXPECT_TRUE(libraries.contains("SQLCipher ")) << libraries.toStdString();
        child<QAbstractButton>(d, "cmdSystemInfo")->click();
        return click(d, "cmdOK");
    });
    showInfoWindow(session(), nullptr);
    qputenv("PATH", oldPath);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    // German texts are on: every line of the summary says what it is.
    const QStringList lines = boxes.shown[0].text.split('\n');
    EXPECT_TRUE(lines.contains("Kernel: " + QSysInfo::kernelType() + ' ' +
                               QSysInfo::kernelVersion() + ' ' +
                               QSysInfo::currentCpuArchitecture()))
        << boxes.shown[0].text.toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(": ")) << line.toStdString();
}

TEST(SystemInfo, LabelledLinesHaveOneColonAfterTheLabel) {
    EXPECT_EQ(labelledLine("Version", "3.0.1"), "Version: 3.0.1");
    EXPECT_EQ(labelledLine(" Version: ", " 3.0.1 "), "Version: 3.0.1");
    EXPECT_EQ(labelledLine("Memory:", "15.5 GiB"), "Memory: 15.5 GiB");
}

} // namespace
} // namespace velmara::test
