// Datei > Exportieren / Importieren: dialogs, file pickers and messages around the
// CSV files, answered by scripts.
#include "batteries/batteries_fixture.h"
#include "exchange/ui/seriesexchangeflows.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

namespace velmara::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class ExchangeFlowTest : public BatteriesTest {
public:
    void SetUp() override {
        BatteriesTest::SetUp();
        folder = m_folder.path(); // the program folder's own: gone after the test
    }
    ExchangeContext context(QString answer) {
        ExchangeContext c;
        c.user = user;
        c.text = [](const QString& key) -> QString {
            if (key == "2234")
                return "line %1";
            if (key == "2244")
                return "series %1 of %2";
            return testText(key);
        };
        c.locale = QLocale(QLocale::German, QLocale::Germany);
        c.prompter = &session().prompter();
        c.askPath = [this, answer](const PathRequest& r) {
            requests << r.suggestedName;
            return answer;
        };
        return c;
    }
    qint32 batteryWithTwoSeries() {
        qint32 battery = -1;
        batteryWithSeries("Pack/1", 2, &battery);
        return battery;
    }
    QString folder;
    QStringList requests;
};

TEST_F(ExchangeFlowTest, ExportsOneSeriesOrAllOfTheBattery) {
    batteryWithTwoSeries();
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgExport"); // the last series of the first battery is chosen
        EXPECT_TRUE(runSeriesExport(context(folder + "/one.csv"), nullptr));
    }
    EXPECT_EQ(requests, QStringList{"Pack_1 - 2.csv"});
    EXPECT_TRUE(readAll(folder + "/one.csv").startsWith("velmara series;1\nBattery;Pack/1\n"));
    EXPECT_TRUE(readAll(folder + "/one.csv").contains("\nSeries;2\n"));

    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgExport", [](QDialog* d) {
        d->findChild<QCheckBox*>("chkAlle")->setChecked(true);
        d->findChild<QComboBox*>("cboTrennzeichen")->setCurrentIndex(2); // comma
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(runSeriesExport(context(folder), nullptr));
    for (const char* name : {"/Pack_1 - 1.csv", "/Pack_1 - 2.csv"})
        EXPECT_TRUE(readAll(folder + name).startsWith("velmara series,1\n")) << name;
}

TEST_F(ExchangeFlowTest, ExportToAnUnwritablePlaceSaysSo) {
    batteryWithTwoSeries();
    ScriptedDialogs dialogs(session().prompter());
    dialogs.accept("dlgExport");
    ScriptedMessages messages(session());
    messages.expect("2228");
    EXPECT_FALSE(runSeriesExport(context(folder + "/missing/x.csv"), nullptr));
}

TEST_F(ExchangeFlowTest, MalformedFileIsRefusedWithTheUserFileUntouched) {
    batteryWithTwoSeries();
    const QString csv = folder + "/bad.csv";
    writeAll(csv, "velmara series;1\nBattery;A\nBattery remark;\nSeries;1\nDate;\nRemark;\n"
                  "Program;\nMode;\nTime [s];Time [min];Voltage [V];Current [A];Capacity [Ah];"
                  "End value;Duration [s];Battery state;Percent;Self-discharge [mAh]\n"
                  "0;0,00;1,234;1,500;0,000;;;;;\n"
                  "5;0,08;oops;1,500;0,000;;;;;\n");
    const QByteArray before = readAll(user->path());
    ASSERT_FALSE(before.isEmpty());
    ScriptedMessages messages(session());
    messages.expect("2234");
    EXPECT_FALSE(runSeriesImport(context(csv), nullptr));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains("11")) << messages.shown[0].text.toStdString();
    EXPECT_EQ(readAll(user->path()), before);
}

TEST_F(ExchangeFlowTest, ImportedSeriesGoesToTheBatteryOfTheSameNameOrANewOne) {
    batteryWithTwoSeries();
    ASSERT_TRUE(user->execute("UPDATE Akkus SET bemerkung = 'bought 2024'"));
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgExport");
        ASSERT_TRUE(runSeriesExport(context(folder + "/s.csv"), nullptr));
    }
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgImport"); // offers "Pack/1", which exists
        ScriptedMessages messages(session());
        messages.expect("2244");
        EXPECT_TRUE(runSeriesImport(context(folder + "/s.csv"), nullptr));
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen WHERE Nummer = 3"), 1);
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgImport", [](QDialog* d) {
            d->findChild<QRadioButton*>("optNeuerAkku")->setChecked(true);
            d->findChild<QLineEdit*>("txtName")->setText("Pack/1"); // taken
            return int(QDialog::Accepted);
        });
        ScriptedMessages messages(session());
        messages.expect("2246");
        EXPECT_FALSE(runSeriesImport(context(folder + "/s.csv"), nullptr));
    }
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgImport", [](QDialog* d) {
        d->findChild<QRadioButton*>("optNeuerAkku")->setChecked(true);
        d->findChild<QLineEdit*>("txtName")->setText("Copy");
        return int(QDialog::Accepted);
    });
    ScriptedMessages messages(session());
    messages.expect("2244");
    EXPECT_TRUE(runSeriesImport(context(folder + "/s.csv"), nullptr));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Akkus WHERE AkkuName = 'Copy' AND "
                   "bemerkung = 'bought 2024'"),
              1);
}

} // namespace
} // namespace velmara::test
