#pragma once
// dlgImportProgress: reads a series file into an import a portion at a time,
// with the event loop running between portions (the channel windows keep
// polling), then stores it. Cancel, while the file is read, ends the import
// with the user file as it was.
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
    enum class Outcome { Running, Read, Cancelled, Refused, Failed };

    // fileSize and position give the progress; finish stores what was read and
    // returns whether it was stored (the dialog then closes accepted).
    SeriesImportProgress(SeriesImport& import, std::function<qint64()> position, qint64 fileSize,
                         std::function<bool()> finish,
                         const std::function<QString(const QString&)>& text,
                         QWidget* parent = nullptr);
    Outcome outcome() const { return m_outcome; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void readPortion();
    void finish();

    SeriesImport& m_import;
    std::function<qint64()> m_position;
    qint64 m_size;
    std::function<bool()> m_finish;
    QString m_storingText;
    Outcome m_outcome = Outcome::Running;
    bool m_started = false;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace velmara
