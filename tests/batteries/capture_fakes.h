#pragma once
// A channel and a set of channels in memory for the capture dialog.
#include "batteries/core/capturechannel.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <vector>

namespace velmara::test {

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
    std::deque<int> answers{0};
    QList<qint32> asked, released;
};

} // namespace velmara::test
