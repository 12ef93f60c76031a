#pragma once
// The delivered files of a fresh program folder, opened as the start-up does,
// helpers that put batteries, series and values into the user file, and a channel
// and a set of channels in memory for the capture dialog.
#include "batteries/core/batterystore.h"
#include "batteries/core/capturechannel.h"
#include "support/program_files.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <memory>
#include <vector>

namespace velmara::test {

class BatteriesTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(openProgramFiles(session(), "de"));
        user = session().user();
        master = session().master();
        store = std::make_unique<BatteryStore>(session().stores().batteries(), [] {
            return QDateTime(QDate(2026, 3, 1), QTime(10, 30, 0));
        });
    }

    qint32 insertBattery(const QString& name) {
        EXPECT_TRUE(user->execute("INSERT INTO Akkus (AkkuName, bemerkung) VALUES (?, '')", {name}))
            << user->lastError().toStdString();
        return qint32(user->lastInsertId());
    }
    qint32 insertSeries(qint32 battery, int number, const QString& program = QString()) {
        EXPECT_TRUE(user->execute(
            "INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Programm) VALUES (?, ?, ?, ?)",
            {battery, number, QString("remark %1").arg(number), program}));
        return qint32(user->lastInsertId());
    }
    qint32 insertValue(qint32 series, bool endValue, const QString& text) {
        EXPECT_TRUE(user->execute(
            "INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (?, ?, ?)",
            {series, endValue ? 1 : 0, text}));
        return qint32(user->lastInsertId());
    }
    // A battery with series numbered 1..n, each with two values; their ids in order.
    QVector<qint32> batteryWithSeries(const QString& name, int n, qint32* battery = nullptr) {
        const qint32 b = insertBattery(name);
        if (battery)
            *battery = b;
        QVector<qint32> ids;
        for (int i = 1; i <= n; ++i) {
            ids << insertSeries(b, i);
            insertValue(ids.last(), false, "1;2;3;4");
            insertValue(ids.last(), true, "2;100;1400;60;55");
        }
        return ids;
    }
    int rows(const QString& sql) { return user->scalar(sql).toInt(); }
    Session& session() { return m_folder.session(); }

    TempProgramFolder m_folder; // first made, last gone
    Database* user = nullptr;
    Database* master = nullptr;
    std::unique_ptr<BatteryStore> store;
};

inline QVector<int> numbersOf(const QVector<SeriesRow>& rows) {
    QVector<int> numbers;
    for (const SeriesRow& r : rows)
        numbers << r.number;
    return numbers;
}

// Texts for the tests: every key reads "<key>", a few carry their arguments.
inline QString testText(const QString& key) {
    static const QHash<QString, QString> withArgs = {
        {"0743", "series %1 values %2"}, {"0745", "values %1"}, {"4920", "recorded at %1"}};
    return withArgs.value(key, "<" + key + ">");
}

class FakeChannel : public CaptureChannel {
public:
    QString channelCode() const override { return code; }
    bool isRecording() const override { return recording; }
    bool isQueued() const override { return queued; }
    bool measurementRunning() const override { return running; }
    bool endValuesAvailable() const override { return endValues; }
    qint32 batteryId() const override { return battery; }
    qint32 seriesId() const override { return series; }
    void stopRecording() override { recording = false; }
    void dropQueuedRecording() override {
        queued = false;
        series = -1;
    }
    void forgetBattery() override { battery = -1; }
    void startRecording(qint32 b, qint32 s, bool q, bool withTemp) override {
        started.push_back({b, s, q, withTemp});
        battery = b;
        series = s;
        queued = q;
        recording = !q;
    }
    void endRecording() override {
        ++ended;
        recording = queued = false;
        series = -1;
    }
    void setHeading(const QString& name, const QString& remark, const QString& number) override {
        headings << QStringList{name, remark, number};
    }

    struct Start {
        qint32 battery, series;
        bool queued, withTemp;
        bool operator==(const Start&) const = default;
    };
    QString code = "002";
    bool recording = false, queued = false, running = false, endValues = false;
    qint32 battery = -1, series = -1;
    std::vector<Start> started;
    int ended = 0;
    QList<QStringList> headings;
};

class FakeUsage : public BatteryUsage {
public:
    // Answers in turn; the last one repeats.
    int channelUsing(qint32 id) override {
        asked << id;
        const int answer = answers.front();
        if (answers.size() > 1)
            answers.pop_front();
        return answer;
    }
    void releaseBattery(qint32 id) override { released << id; }
    QString stationUsing(qint32) override { return otherStation; }
    bool takeBattery(qint32, QString* station) override {
        if (station)
            *station = otherStation;
        return otherStation.isEmpty();
    }
    std::deque<int> answers{0};
    QString otherStation; // another station records every battery
    QList<qint32> asked, released;
};

} // namespace velmara::test
