// Four channels against the charger simulator on a pseudo-terminal: programs
// sent, charges run to their end at high speed, and every value a window showed
// is in the database, in order, with seconds that never go back.
#include "../channel/channel_fixture.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace velmara::test {
namespace {

// Remembers every set of live values shown (voltage, current, capacity).
class RecordingDisplay : public FakeDisplay {
public:
    void setText(ChannelField f, const QString& t) override {
        FakeDisplay::setText(f, t);
        if (f == ChannelField::Kapazitaet && !t.isEmpty()) {
            const QString v =
                text(ChannelField::Spannung) + "|" + text(ChannelField::Strom) + "|" + t;
            shown << v;
            if (channel && channel->isRecording())
                shownWhileRecording << v;
        }
    }
    QStringList shown, shownWhileRecording;
    const ChannelController* channel = nullptr;
};

// The rows of a value table in storing order.
struct StoredRow {
    qint32 series;
    bool ew;
    QString text;
};
std::vector<StoredRow> storedRows(const QString& table) {
    std::vector<StoredRow> out;
    auto rs = userDatabase()->openRecordset("SELECT * FROM " + table + " ORDER BY MessWertId");
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        out.push_back({rs->value("MessReiheID").toInt(), rs->value("EW").toInt() != 0,
                       rs->text("MessWertString")});
    return out;
}

QString shownForm(const QString& valueString) {
    const QStringList f = valueString.split(';');
    return formatVoltString(f.value(1).toInt()) + "|" + formatAmpereString(f.value(2).toInt()) +
           "|" + formatAmpereHourString(f.value(0).toInt());
}

// The start of a channel runs on while the charger answers: wait for it.
void settle(const ChannelController& c) {
    QElapsedTimer t;
    t.start();
    while (c.isBusy() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class ChannelSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!charger.available())
            GTEST_SKIP() << charger.error().toStdString();
        ASSERT_TRUE(openProgramFiles("de"));
        ASSERT_TRUE(openSharedRecordsets());
        QStringList args{"--channels", "4", "--speed", "600"};
        for (int ch = 1; ch <= 4; ++ch)
            args << "--battery" << QString("%1,NiMH,6,2000,20").arg(ch);
        ASSERT_TRUE(charger.start(folder.path(), args)) << charger.error().toStdString();
        link = charger.link();
    }
    void TearDown() override {
        channels.clear();
        charger.stop();
        closeDatabases();
    }

    TempProgramFolder folder;
    SimulatedCharger charger;
    ChargerLink* link = nullptr;
    FakeHost host;
    RecordingDisplay displays[4];
    std::vector<std::unique_ptr<ChannelController>> channels;
};

TEST_F(ChannelSim, FourChargesAreRecordedCompletely) {
    qint32 series[4];
    for (int i = 0; i < 4; ++i) {
        const QString code = QString("00%1").arg(i + 1);
        channels.push_back(std::make_unique<ChannelController>(code, link, host, displays[i]));
        displays[i].channel = channels.back().get();
        channels.back()->load(false);
        settle(*channels.back());
        ASSERT_NE(displays[i][ChannelField::Status], res("6000")) << code.toStdString();
    }
    for (int i = 0; i < 4; ++i) {
        const QString code = QString("00%1").arg(i + 1);
        const QString answer = QCoro::waitFor(
            link->sendProgram(code + ",P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000"));
        ASSERT_FALSE(answer.isEmpty()) << "program for " << code.toStdString();
        QCoro::waitFor(channels[size_t(i)]->resetForNewProgram());
        const ChannelTest::Series created = ChannelTest::newSeries();
        series[i] = created.id;
        QCoro::waitFor(channels[size_t(i)]->startRecording(created.akku, series[i], false, true));
        ASSERT_TRUE(channels[size_t(i)]->isRecording());
        // The recording takes over what the channel showed of this run so far
        // (the first reading after the program was sent).
        displays[i].shownWhileRecording = displays[i].shown;
    }

    // Poll until every charge has finished.
    QElapsedTimer t;
    t.start();
    // A charge has ended when the channel left charging after it had charged.
    bool charged[4] = {false, false, false, false};
    auto finished = [&](int i) {
        charged[i] = charged[i] || channels[size_t(i)]->measurementRunning();
        return charged[i] && !channels[size_t(i)]->measurementRunning();
    };
    while (t.elapsed() < 120000) {
        for (auto& c : channels)
            QCoro::waitFor(c->tick());
        int done = 0;
        for (int i = 0; i < 4; ++i)
            done += finished(i) ? 1 : 0;
        if (done == 4)
            break;
        QThread::msleep(150);
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(finished(i)) << displays[i][ChannelField::Status].toStdString();
        EXPECT_GE(displays[i].shown.size(), 3);

        QStringList permanent;
        qint64 lastPerm = -1;
        for (const StoredRow& r : storedRows("MessWerte")) {
            if (r.series != series[i])
                continue;
            const qint64 s = r.text.section(';', 3, 3).toLongLong();
            EXPECT_GE(s, lastPerm) << r.text.toStdString();
            lastPerm = s;
            if (!r.ew)
                permanent << shownForm(r.text);
        }
        EXPECT_EQ(permanent.join("\n").toStdString(),
                  displays[i].shownWhileRecording.join("\n").toStdString())
            << "every value shown while recording is stored, in order";
    }
    // The temporary table holds every shown value too, in order per series.
    QStringList allTemp, allShown;
    std::map<qint32, qint64> last;
    for (const StoredRow& r : storedRows("TempMessWerte")) {
        const qint64 s = r.text.section(';', 3, 3).toLongLong();
        if (last.count(r.series)) {
            EXPECT_GE(s, last[r.series]) << r.text.toStdString();
        }
        last[r.series] = s;
        if (!r.ew)
            allTemp << shownForm(r.text);
    }
    for (const auto& d : displays)
        allShown << d.shown;
    allTemp.sort();
    allShown.sort();
    EXPECT_EQ(allTemp.join("\n").toStdString(), allShown.join("\n").toStdString());
}

} // namespace
} // namespace velmara::test
