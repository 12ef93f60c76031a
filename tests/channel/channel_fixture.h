#pragma once
// A channel on the in-memory serial port, with the delivered databases of a
// fresh program folder, a settable clock and in-memory screen and main window.
#include "base/core/formatting.h"
#include "channel/core/channelcontroller.h"
#include "link/chargerlink.h"
#include "link/turnqueue.h"
#include "support/fake_serial_port.h"
#include "support/program_files.h"
#include "support/user_rows.h"

#include <gtest/gtest.h>

#include <QHash>

#include <map>
#include <memory>

namespace velmara::test {

class FakeDisplay : public ChannelDisplay {
public:
    void setText(ChannelField f, const QString& t) override { texts[int(f)] = t; }
    QString text(ChannelField f) const override { return texts.value(int(f)); }
    void setVisible(ChannelField, bool) override {}
    void setHeartbeat(bool) override {}
    void setFaultState(bool f) override { faultState = f; }
    void setEndValueLines(const QList<EndValueDisplayLine>& l,
                          const QList<EndValueDisplayLine>& e) override {
        laden = l;
        entladen = e;
    }
    void setStorageWarning(const QString& t) override { storageWarning = t; }
    void setValuesStale(bool s) override { stale = s; }
    void reportFault(qint16, const Message& box) override { fault = box; }
    QString operator[](ChannelField f) const { return text(f); }

    QHash<int, QString> texts;
    bool faultState = false;
    bool stale = false;
    Message fault; // the box of the fault last reported
    QList<EndValueDisplayLine> laden, entladen;
    QString storageWarning;
};

class FakeHost : public ChannelHost {
public:
    bool chargerMissing() const override { return noQmt; }
    void setChargerMissing(bool v) override { noQmt = v; }
    qint32 newTempSeriesId() override { return nextId++; }
    void setStatusbarText(const QString& code, const QString& t, bool) override {
        panels[code] = t;
    }
    void setValuesWaiting(const QString& code, int n, const QString&) override {
        waiting[code] = n;
    }
    std::shared_ptr<TurnQueue> channelTurn() override { return turn; }

    bool noQmt = false;
    std::map<QString, int> waiting;
    qint32 nextId = 1;
    std::map<QString, QString> panels;
    std::shared_ptr<TurnQueue> turn; // null: each channel takes turns only with itself
};

struct StoredValue {
    qint32 series;
    bool endValue;
    QString text;
    // Seconds since the start of the recording: the fourth field of both kinds.
    qint64 seconds() const { return text.section(';', 3, 3).toLongLong(); }
};

// The rows of a value table (of one series, or all) in storing order.
inline std::vector<StoredValue> storedValues(Database& user, const QString& table,
                                             qint32 series = -1) {
    std::vector<StoredValue> out;
    auto rs = user.openRecordset("SELECT * FROM " + table + " ORDER BY MessWertId");
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        if (series < 0 || rs->value("MessReiheID").toInt() == series)
            out.push_back({rs->value("MessReiheID").toInt(), rs->value("EW").toInt() != 0,
                           rs->text("MessWertString")});
    return out;
}

inline const QByteArray kProgram1 = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1";

class ChannelTest : public ProgramFilesTest {
public:
    using Series = NewSeries;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramFilesTest::SetUp());
        ASSERT_TRUE(session().openRecordsets());
        clock = std::make_shared<FakeLinkClock>();
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<ChargerLink>(std::move(p), clock);
        ASSERT_TRUE(link->openComPort());
        now = QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0));
    }
    void TearDown() override {
        channels.clear();
        link.reset();
        ProgramFilesTest::TearDown();
    }

    ChannelController& make(const QString& code) {
        channels.push_back(
            std::make_unique<ChannelController>(session(), *ChannelCode::fromText(code), link.get(),
                                                host, display, [this] { return now; }));
        channels.back()->load(false);
        return *channels.back();
    }
    // The answers a channel reads when it starts: program, end values, state
    // (each without the channel code).
    void queueStart(const QByteArray& code = "001", const QByteArray& endValues = "D",
                    const QByteArray& state = "M,SA", const QByteArray& program = kProgram1) {
        answer(code + program.mid(3));
        answer(code + "," + endValues);
        answer(code + "," + state);
    }
    ChannelController& idle() {
        queueStart();
        return make("001");
    }
    // A new series recorded on the channel, now, with the next program or taking
    // over the values so far (its program is answered with kProgram1).
    enum class Start { Now, Queued, TakingOver };
    Series record(ChannelController& c, Start start = Start::Now) {
        const Series s = newSeries();
        answer(kProgram1);
        QCoro::waitFor(
            c.startRecording(s.akku, s.id, start == Start::Queued, start == Start::TakingOver));
        return s;
    }
    // One tick answered with this status. A channel that asks for its program
    // first (a new run has begun) is told kProgram1.
    void poll(ChannelController& c, const QByteArray& status) {
        if (c.asksProgramFirst())
            answer(c.channelCode().text().toLatin1() + kProgram1.mid(3));
        answer(status);
        c.tick();
    }
    // One charging tick of channel 1, then 3 s pass.
    void charge(ChannelController& c, int mAh) {
        poll(c, "001,M,SL,L01500,V07200,K" + QByteArray::number(mAh).rightJustified(5, '0'));
        later(3);
    }

    // The charger answers the next request with this payload (framed).
    void answer(const QByteArray& payload) {
        port->queueAnswer(QByteArray("\x14,") + payload + QByteArray(",\x03"));
    }
    void silence() { port->queueSilence(); }
    void later(int seconds) { now = now.addSecs(seconds); }
    int requests() const { return int(port->writes.size()); }
    // The bodies of the requests sent so far.
    QList<QByteArray> bodies() const {
        QList<QByteArray> out;
        for (const QByteArray& w : port->writes)
            out << w.mid(2, w.size() - 5); // DC2 "," body "," ETX CR
        return out;
    }

    // The value texts of a table (of one series), in storing order; end values
    // are marked "EW ".
    QStringList values(const QString& table, qint32 series = -1) {
        QStringList out;
        for (const StoredValue& v : storedValues(user(), table, series))
            out << (v.endValue ? "EW " : "") + v.text;
        return out;
    }
    int endValueId() {
        return user().scalar("SELECT MAX(MessWertId) FROM TempMessWerte WHERE EW=1").toInt();
    }
    Series newSeries() { return test::newSeries(user()); }
    QString seriesText(qint32 series, const QString& column) {
        return test::seriesText(user(), series, column);
    }

protected:
    std::shared_ptr<FakeLinkClock> clock;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<ChargerLink> link;
    FakeDisplay display;
    FakeHost host;
    QDateTime now;
    std::vector<std::unique_ptr<ChannelController>> channels;
};

} // namespace velmara::test
