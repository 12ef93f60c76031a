#pragma once
// The logic of the capture dialog: choosing the battery and series a channel's
// values go to (capture mode), and browsing and deleting batteries and series
// (management mode). It holds no widgets: the dialog binds its controls to the
// state below, and the model's questions go through the ask callable, which the
// dialog answers with message boxes.
#include "base/core/messages.h"
#include "batteries/core/batterystore.h"

#include <QString>
#include <QVector>

#include <functional>

namespace velmara {

class BatteryUsage;
class CaptureChannel;

using TextLookup = std::function<QString(const QString& key)>;
using AskFunction = std::function<MsgAnswer(const Message& message)>;

// What the dialog shows and allows.
struct CaptureControls {
    bool captureVisible = true; // cmdNeuerAkku, cmdNeueMessreihe, cmdKeineErfassung, frameErfassung
    bool managementVisible = false; // cmdAkkuLoeschen, cmdMessReiheAnzeigen, cmdMessReiheLoeschen
    bool immediate = true;          // optSofort chosen, else optNaechster
    bool immediateEnabled = true;   // optSofort
    bool nextEnabled = true;        // optNaechster
    bool frameEnabled = true;       // frameErfassung
    bool endEnabled = false;        // cmdKeineErfassung
    bool newSeriesEnabled = true;   // cmdNeueMessreihe
    bool newBatteryEnabled = true;  // cmdNeuerAkku
    QString cancelKey = QStringLiteral("0101"); // caption of cmdCancel
};

class CaptureModel {
public:
    // channel: the channel of capture mode; null for management mode.
    CaptureModel(BatteryStore& store, BatteryUsage& usage, CaptureChannel* channel, TextLookup text,
                 AskFunction ask);

    bool isManagement() const { return m_channel == nullptr; }

    // Reads the batteries and takes over the channel's state; in capture mode a
    // queued recording is offered for cancelling first. False: do not show the dialog.
    bool initialize();

    QString title() const { return m_title; }
    const CaptureControls& controls() const { return m_controls; }
    const QVector<BatteryRow>& batteries() const { return m_batteries; }
    // -1 when none is chosen.
    qint32 selectedBatteryId() const { return m_selected; }
    const BatteryRow* selectedBattery() const;
    const QVector<SeriesRow>& series() const { return m_series; }

    // The user picks a battery (-1: none) or one of the two recording options.
    void selectBattery(qint32 batteryId);
    void setImmediate(bool immediate);

    // The name check of the new-battery dialog: a blank or taken name is refused
    // with a message and false.
    bool acceptNewBatteryName(const QString& name);
    // Creates the battery with its first series and starts recording it on the channel.
    bool addNewBattery(const QString& name, const QString& batteryRemark,
                       const QString& seriesRemark);
    // True when the selected battery may get a new series (refused with a message
    // while it is recorded on a channel).
    bool newSeriesAllowed();
    // Creates the next series of the selected battery and starts recording it.
    bool addNewSeries(const QString& remark);
    // "Messerfassung beenden".
    void endCapture();

    // Management: deletes a series of the selected battery (the only one: the
    // battery), and the selected battery. Each asks first and is refused while
    // the battery is in use on a channel. True when something was deleted.
    bool deleteSeries(qint32 seriesId);
    bool deleteSelectedBattery();

    // Told of every series that no longer exists (its windows close).
    std::function<void(qint32 seriesId)> seriesDeleted;

private:
    void reloadBatteries();
    void reloadSeries();
    void lockCaptureControls();
    void updateNewSeriesEnabled();
    bool cancelQueuedSeries();
    bool confirmImmediateWithTemp();
    void startOnChannel(qint32 batteryId, qint32 seriesId, const QString& name,
                        const QString& remark, int number);
    bool removeBattery(qint32 batteryId);
    // Another station records the battery: told (message key, with its name), true.
    bool usedElsewhere(qint32 batteryId, const QString& key);
    // The battery taken for this station's recording; refused with a message.
    bool takeForRecording(qint32 batteryId);
    void reportStoreError();
    MsgAnswer ask(const QString& text, const QString& key, const QString& titleKey, MsgIcon icon,
                  MsgButtons buttons);
    QString inUseText(const QString& firstKey, int channel, const QString& secondKey) const;
    QString deleteQuestion(const QString& questionKey, const QString& lossText) const;

    BatteryStore& m_store;
    BatteryUsage& m_usage;
    CaptureChannel* m_channel;
    TextLookup m_text;
    AskFunction m_ask;

    QString m_title;
    CaptureControls m_controls;
    QVector<BatteryRow> m_batteries;
    QVector<SeriesRow> m_series;
    qint32 m_selected = -1;
    bool m_locked = false;

    // The channel's state when the dialog opened.
    bool m_recordRunning = false;
    bool m_queued = false;
    bool m_measurementRunning = false;
    bool m_endValuesAvailable = false;
    qint32 m_actualBattery = -1;
    qint32 m_actualSeries = -1;
};

} // namespace velmara
