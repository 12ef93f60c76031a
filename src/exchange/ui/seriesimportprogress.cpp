#include "exchange/ui/seriesimportprogress.h"

#include "base/widgets/dialogrow.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmara {

namespace {
// A portion takes about this long, so the event loop is never held much longer.
constexpr qint64 kPortionMs = 20;
constexpr int kValuesPerStep = 256;
} // namespace

SeriesImportProgress::SeriesImportProgress(SeriesImport& import, std::function<qint64()> position,
                                           qint64 fileSize, std::function<bool()> finish,
                                           const std::function<QString(const QString&)>& text,
                                           QWidget* parent)
    : QDialog(parent), m_import(import), m_position(std::move(position)),
      m_size(std::max<qint64>(1, fileSize)), m_finish(std::move(finish)),
      m_storingText(text(QStringLiteral("4222"))) {
    setObjectName(QStringLiteral("dlgImportProgress"));
    setWindowTitle(text(QStringLiteral("2238")));
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_label = named(new QLabel(text(QStringLiteral("4220")), this), "lblStatus"));
    top->addWidget(m_bar = named(new QProgressBar(this), "prgImport"));
    m_bar->setRange(0, 1000);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_cancel =
                       named(new QPushButton(text(QStringLiteral("0101")), this), "cmdCancel"));
    top->addLayout(row);
    connect(m_cancel, &QPushButton::clicked, this, &SeriesImportProgress::reject);
    setMinimumWidth(360);
}

void SeriesImportProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &SeriesImportProgress::readPortion);
    }
}

void SeriesImportProgress::reject() {
    // Once the file is read the series is being stored: that is not cut off.
    if (m_outcome != Outcome::Running)
        return;
    m_outcome = Outcome::Cancelled;
    QDialog::reject();
}

void SeriesImportProgress::readPortion() {
    if (m_outcome != Outcome::Running)
        return;
    QElapsedTimer clock;
    clock.start();
    SeriesImport::Status status = SeriesImport::Status::More;
    while (status == SeriesImport::Status::More && clock.elapsed() < kPortionMs)
        status = m_import.readSome(kValuesPerStep);
    m_bar->setValue(int(std::min<qint64>(1000, m_position() * 1000 / m_size)));
    switch (status) {
    case SeriesImport::Status::More:
        QTimer::singleShot(0, this, &SeriesImportProgress::readPortion);
        return;
    case SeriesImport::Status::Done:
        m_outcome = Outcome::Read;
        m_label->setText(m_storingText);
        m_cancel->setEnabled(false);
        // A moment for the label to show before storing holds the event loop.
        QTimer::singleShot(30, this, &SeriesImportProgress::finish);
        return;
    case SeriesImport::Status::Refused:
        m_outcome = Outcome::Refused;
        break;
    case SeriesImport::Status::Failed:
        m_outcome = Outcome::Failed;
        break;
    }
    QDialog::reject();
}

void SeriesImportProgress::finish() {
    if (m_finish && m_finish()) {
        accept();
        return;
    }
    m_outcome = Outcome::Failed;
    QDialog::reject();
}

} // namespace velmara
