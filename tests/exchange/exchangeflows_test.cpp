// Datei > Exportieren / Importieren: dialogs, file pickers and messages around the
// CSV files, answered by scripts.
#include "batteries/batteries_fixture.h"
#include "exchange/core/seriesimport.h"
#include "exchange/ui/seriesexchangeflows.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace velmara::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The progress dialog runs as in the program: it reads, stores and closes itself.
int runIt(QDialog* d) {
    return d->exec();
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
    ExchangeContext context(QString answer, QString language = {}) {
        ExchangeContext c;
        c.language = language;
        c.stores = &session().stores();
        // A message's text shows its key and the values put in.
        c.text = [](const QString& key) { return key + " %1 %2"; };
        c.locale = QLocale(QLocale::German, QLocale::Germany);
        c.prompter = &session().prompter();
        c.askPath = [this, answer](const PathRequest& r) {
            requests << r.suggestedName;
            return answer;
        };
        return c;
    }
    QString folder;
    QStringList requests;
};

TEST_F(ExchangeFlowTest, ExportsOneSeriesOrAllOfTheBattery) {
    batteryWithSeries("Pack/1", 2);
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgExport"); // the last series of the first battery is chosen
        EXPECT_TRUE(runSeriesExport(context(folder + "/one.csv"), nullptr));
    }
    EXPECT_EQ(requests, QStringList{"Pack_1 - 2.csv"});
    EXPECT_TRUE(
        readAll(folder + "/one.csv").startsWith("\xEF\xBB\xBFvelmara series;1\nBattery;Pack/1\n"));
    EXPECT_TRUE(readAll(folder + "/one.csv").contains("\nSeries;2\n"));

    ASSERT_TRUE(user->execute("UPDATE MessReihen SET Datum = '2026-12-07T09:05:00'"));
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgExport", [](QDialog* d) {
        // The series' dates in the program's language.
        EXPECT_EQ(d->findChild<QListWidget*>("lstMessreihen")->item(0)->text(),
                  "1  07.12.2026 09:05  remark 1");
        d->findChild<QCheckBox*>("chkAlle")->setChecked(true);
        d->findChild<QComboBox*>("cboTrennzeichen")->setCurrentIndex(2); // comma
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(runSeriesExport(context(folder, "de"), nullptr));
    for (const char* name : {"/Pack_1 - 1.csv", "/Pack_1 - 2.csv"})
        EXPECT_TRUE(readAll(folder + name).contains(",1\n") &&
                    readAll(folder + name).contains(",Pack/1\n"))
            << name;
}

TEST_F(ExchangeFlowTest, ExportSaysHowManyValuesCannotBeRead) {
    const qint32 series = batteryWithSeries("Pack", 1).first();
    insertValue(series, false, "damaged");
    insertValue(series, false, "1;2;x;4");
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgExport");
        ScriptedMessages messages(session());
        messages.expect("4212", answer);
        EXPECT_EQ(runSeriesExport(context(folder + "/s.csv"), nullptr), answer == MsgAnswer::Yes);
        EXPECT_EQ(messages.shown[0].text, "4212 2 1");
        EXPECT_EQ(QFile::exists(folder + "/s.csv"), answer == MsgAnswer::Yes);
    }
}

TEST_F(ExchangeFlowTest, ExportToAnUnwritablePlaceSaysSo) {
    batteryWithSeries("Pack/1", 2);
    ScriptedDialogs dialogs(session().prompter());
    dialogs.accept("dlgExport");
    ScriptedMessages messages(session());
    messages.expect("2228");
    EXPECT_FALSE(runSeriesExport(context(folder + "/missing/x.csv"), nullptr));
}

// Each refusal names its reason and line; the user file stays as it was.
TEST_F(ExchangeFlowTest, RefusedFilesSayWhyWithTheUserFileUntouched) {
    batteryWithSeries("Pack/1", 2);
    const QByteArray head = "velmara series;1\nBattery;A\nBattery remark;\nSeries;1\nDate;\n"
                            "Remark;\nProgram;\nMode;\nTime [s];Time [min];Voltage [V];"
                            "Current [A];Capacity [Ah];End value;Duration [s];Battery state;"
                            "Percent;Self-discharge [mAh]\n0;0,00;1,234;1,500;0,000;;;;;\n";
    const QString csv = folder + "/bad.csv";
    const QByteArray before = readAll(user->path());
    ASSERT_FALSE(before.isEmpty());
    const struct {
        QByteArray bytes;
        const char* key;
        QString text;
        bool inValues = false; // found while the values are read, after the target is chosen
    } cases[] = {
        {head + "5;0,08;oops;1,500;0,000;;;;;\n", "2234", "2234 11 %2", true},
        {QByteArray(head).replace("Battery;A", "Battery;\xC4"), "4204", "4204 2 %2"},
        {QByteArray(), "4210", "4210 65 64"}, // a file beyond the largest
    };
    for (const auto& c : cases) {
        writeAll(csv, c.bytes);
        if (c.bytes.isEmpty())
            QFile::resize(csv, kLargestSeriesFile + 1);
        ScriptedDialogs dialogs(session().prompter());
        if (c.inValues)
            dialogs.accept("dlgImport").expect("dlgImportProgress", runIt);
        ScriptedMessages messages(session());
        messages.expect(c.key);
        EXPECT_FALSE(runSeriesImport(context(csv), nullptr));
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, c.text);
    }
    // Cancelled while the file is read: no message, nothing stored.
    writeAll(csv, head);
    ScriptedDialogs dialogs(session().prompter());
    dialogs.accept("dlgImport").expect("dlgImportProgress", [](QDialog* d) {
        d->show();
        d->reject();
        return d->result();
    });
    EXPECT_FALSE(runSeriesImport(context(csv), nullptr));
    EXPECT_EQ(readAll(user->path()), before);
}

TEST_F(ExchangeFlowTest, ImportedSeriesGoesToTheBatteryOfTheSameNameOrANewOne) {
    batteryWithSeries("Pack/1", 2);
    ASSERT_TRUE(user->execute("UPDATE Akkus SET bemerkung = 'bought 2024'"));
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgExport");
        ASSERT_TRUE(runSeriesExport(context(folder + "/s.csv"), nullptr));
    }
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgImport").expect("dlgImportProgress", runIt); // offers "Pack/1"
        ScriptedMessages messages(session());
        messages.expect("2244");
        EXPECT_TRUE(runSeriesImport(context(folder + "/s.csv"), nullptr));
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen WHERE Nummer = 3"), 1);
    ScriptedDialogs dialogs(session().prompter());
    dialogs
        .expect("dlgImport",
                [](QDialog* d) {
                    d->findChild<QRadioButton*>("optNeuerAkku")->setChecked(true);
                    d->findChild<QLineEdit*>("txtName")->setText("Copy");
                    return int(QDialog::Accepted);
                })
        .expect("dlgImportProgress", runIt);
    ScriptedMessages messages(session());
    messages.expect("2244");
    EXPECT_TRUE(runSeriesImport(context(folder + "/s.csv"), nullptr));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Akkus WHERE AkkuName = 'Copy' AND "
                   "bemerkung = 'bought 2024'"),
              1);
}

} // namespace
} // namespace velmara::test
