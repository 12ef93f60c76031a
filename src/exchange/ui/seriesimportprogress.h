#pragma once
// dlgImportProgress: reads a series file into an import a portion at a time,
// then stores it a slice at a time, with the event loop running between
// portions and slices (the channel windows keep polling and recording). Cancel
// while the file is read ends the import at once; while it is stored, the
// values stored so far are taken out again, a slice at a time, before the
// dialog closes. Either way the user file is as it was.
#include "exchange/core/seriesimport.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmara {

class SeriesImportProgress : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Running, Stored, Cancelled, Refused, Failed };

    // fileSize and position give the progress of the reading; beginStore
    // starts the storing once the file is read (SeriesImport::beginStore with
    // the chosen battery) and returns whether it could. The dialog closes
    // accepted once the series is stored (import.stored()).
    SeriesImportProgress(SeriesImport& import, std::function<qint64()> position, qint64 fileSize,
                         std::function<bool()> beginStore,
                         const std::function<QString(const QString&)>& text,
                         QWidget* parent = nullptr);
    Outcome outcome() const { return m_outcome; }

signals:
    // The file is read; its values go into the user file from now on.
    void storingStarted();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    enum class Phase { Reading, Storing, Discarding, Over };
    void readPortion();
    void storeSlice();
    void discardSlice();
    void startDiscarding(Outcome then);
    void end(Outcome outcome);

    SeriesImport& m_import;
    std::function<qint64()> m_position;
    qint64 m_size;
    std::function<bool()> m_beginStore;
    QString m_storingText;
    QString m_discardingText;
    Phase m_phase = Phase::Reading;
    Outcome m_outcome = Outcome::Running;
    Outcome m_afterDiscarding = Outcome::Cancelled;
    bool m_started = false;
    SliceSize m_sizes;
    int m_slice = 2000;
    qint64 m_toDiscard = 0;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace velmara
