#pragma once
// A channel on the in-memory serial port, with the delivered databases of a
// fresh program folder, a settable clock and in-memory screen and main window.
#include "channel/core/channelcontroller.h"
#include "data/databases.h"
#include "data/storage/database.h"
#include "data/storage/recordset.h"
#include "link/fakeserialport.h"
#include "link/velmaracomcommunication.h"
#include "shell/core/formatting.h"
#include "shell/core/programresources.h"
#include "shell/core/programsettings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <QHash>

#include <map>
#include <memory>

namespace velmara::test {

class FakeDisplay : public ChannelDisplay {
public:
    void setText(ChannelField f, const QString& t) override { texts[int(f)] = t; }
    QString text(ChannelField f) const override { return texts.value(int(f)); }
    void setVisible(ChannelField f, bool v) override { visible[int(f)] = v; }
    void setStatusFrameRed(bool r) override { red = r; }
    void setEndwertLines(const QList<EndwertLine>& l, const QList<EndwertLine>& e) override {
        laden = l;
        entladen = e;
    }
    QString operator[](ChannelField f) const { return text(f); }
    bool isVisible(ChannelField f) const { return visible.value(int(f), true); }

    QHash<int, QString> texts;
    QHash<int, bool> visible;
    bool red = false;
    QList<EndwertLine> laden, entladen;
};

class FakeHost : public ChannelHost {
public:
    bool noQmtFound() const override { return noQmt; }
    void setNoQmtFound(bool v) override { noQmt = v; }
    qint32 newTempSeriesId() override { return nextId++; }
    void setStatusbarText(const QString& code, const QString& t) override { panels[code] = t; }

    bool noQmt = false;
    qint32 nextId = 1;
    std::map<QString, QString> panels;
};

// One stored value row.
struct Row {
    qint32 id;
    qint32 series;
    bool ew;
    QString text;
};

class ChannelTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(openMasterDatabase());
        ASSERT_TRUE(openUserDatabase());
        ProgramSettings::instance().setRsSettings(
            masterDatabase()->openRecordset("SELECT * FROM Optionen"));
        ProgramResources::instance().setRsResources(
            masterDatabase()->openRecordset("SELECT * FROM NLSResources"));
        ProgramResources::instance().setLanguageKey("de");
        ASSERT_TRUE(openSharedRecordsets());
        clock = std::make_shared<FakeLinkClock>();
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<VelmaraComCommunication>(std::move(p), clock);
        ASSERT_TRUE(link->openComPort());
        now = QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0));
    }
    void TearDown() override {
        channels.clear();
        link.reset();
        closeDatabases();
    }

    ChannelController& make(const QString& code, bool load = true) {
        auto c = std::make_unique<ChannelController>(code, link.get(), host, display,
                                                     [this] { return now; });
        if (load)
            c->load(false);
        channels.push_back(std::move(c));
        return *channels.back();
    }

    // The charger answers the next request with this payload (framed).
    void answer(const QByteArray& payload) {
        port->queueAnswer(QByteArray("\x14,") + payload + QByteArray(",\x03"));
    }
    void silence() { port->queueSilence(); }
    void later(int seconds) { now = now.addSecs(seconds); }
    int requests() const { return int(port->writes.size()); }

public:
    static std::vector<Row> rows(const QString& table) {
        std::vector<Row> out;
        auto rs = userDatabase()->openRecordset("SELECT * FROM " + table + " ORDER BY MessWertId");
        for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
            out.push_back({rs->value("MessWertId").toInt(), rs->value("MessReiheID").toInt(),
                           rs->value("EW").toInt() != 0, rs->text("MessWertString")});
        return out;
    }
    static QStringList texts(const std::vector<Row>& rs) {
        QStringList out;
        for (const Row& r : rs)
            out << r.text;
        return out;
    }
    // A battery with one series; returns the series id.
    static qint32 newSeries(qint32* akkuId) {
        userDatabase()->execute("INSERT INTO Akkus (AkkuName) VALUES ('Pack A')");
        auto a = userDatabase()->openRecordset("SELECT * FROM Akkus ORDER BY AkkuId");
        a->moveLast();
        *akkuId = a->value("AkkuId").toInt();
        userDatabase()->execute(
            QString("INSERT INTO MessReihen (AkkuId, Nummer) VALUES (%1, 1)").arg(*akkuId));
        auto m = userDatabase()->openRecordset("SELECT * FROM MessReihen ORDER BY MessReiheID");
        m->moveLast();
        return m->value("MessReiheID").toInt();
    }
    static std::pair<QString, QString> seriesProgram(qint32 series) {
        auto m = userDatabase()->openRecordset(
            QString("SELECT * FROM MessReihen WHERE MessReiheID=%1").arg(series));
        m->moveFirst();
        return {m->text("Programm"), m->text("Mode")};
    }

protected:
    TempProgramFolder folder;
    std::shared_ptr<FakeLinkClock> clock;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<VelmaraComCommunication> link;
    FakeDisplay display;
    FakeHost host;
    QDateTime now;
    std::vector<std::unique_ptr<ChannelController>> channels;
};

inline const QByteArray kProgram1 = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1";

} // namespace velmara::test
