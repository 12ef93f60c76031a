#include "exchange/ui/seriesimportprogress.h"

#include "base/widgets/dialogrow.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velmara {

namespace {
// A portion takes about this long, so the event loop is never held much longer.
constexpr qint64 kPortionMs = 10;
constexpr int kValuesPerStep = 256;

int permille(qint64 part, qint64 whole) {
    return int(std::clamp<qint64>(part * 1000 / std::max<qint64>(1, whole), 0, 1000));
}
} // namespace

SeriesImportProgress::SeriesImportProgress(SeriesImport& import, std::function<qint64()> position,
                                           qint64 fileSize, std::function<bool()> beginStore,
                                           const std::function<QString(const QString&)>& text,
                                           QWidget* parent)
    : QDialog(parent), m_import(import), m_position(std::move(position)),
      m_size(std::max<qint64>(1, fileSize)), m_beginStore(std::move(beginStore)),
      m_storingText(text(QStringLiteral("4222"))), m_discardingText(text(QStringLiteral("4800"))) {
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
    switch (m_phase) {
    case Phase::Reading:
        end(Outcome::Cancelled);
        return;
    case Phase::Storing:
        startDiscarding(Outcome::Cancelled);
        return;
    case Phase::Discarding: // already on its way out
    case Phase::Over:
        return;
    }
}

void SeriesImportProgress::end(Outcome outcome) {
    m_phase = Phase::Over;
    m_outcome = outcome;
    if (outcome == Outcome::Stored)
        accept();
    else
        QDialog::reject();
}

void SeriesImportProgress::readPortion() {
    if (m_phase != Phase::Reading)
        return;
    QElapsedTimer clock;
    clock.start();
    SeriesImport::Status status = SeriesImport::Status::More;
    while (status == SeriesImport::Status::More && clock.elapsed() < kPortionMs)
        status = m_import.readSome(kValuesPerStep);
    m_bar->setValue(permille(m_position(), m_size));
    switch (status) {
    case SeriesImport::Status::More:
        QTimer::singleShot(0, this, &SeriesImportProgress::readPortion);
        return;
    case SeriesImport::Status::Done:
        if (!m_beginStore || !m_beginStore()) {
            end(Outcome::Failed);
            return;
        }
        m_phase = Phase::Storing;
        m_label->setText(m_storingText);
        m_bar->setValue(0);
        emit storingStarted();
        QTimer::singleShot(0, this, &SeriesImportProgress::storeSlice);
        return;
    case SeriesImport::Status::Refused:
        end(Outcome::Refused);
        return;
    case SeriesImport::Status::Failed:
        end(Outcome::Failed);
        return;
    }
}

// One transaction per turn of the event loop, sized to take about as long as
// the sizes' target.
void SeriesImportProgress::storeSlice() {
    if (m_phase != Phase::Storing)
        return;
    QElapsedTimer clock;
    clock.start();
    const SeriesImport::Status status = m_import.storeSome(m_slice);
    m_slice = m_sizes.next(m_slice, clock.elapsed());
    m_bar->setValue(permille(m_import.valuesStored(), m_import.valuesRead()));
    if (status == SeriesImport::Status::Done)
        end(Outcome::Stored);
    else if (status == SeriesImport::Status::More)
        QTimer::singleShot(0, this, &SeriesImportProgress::storeSlice);
    else
        startDiscarding(Outcome::Failed);
}

void SeriesImportProgress::startDiscarding(Outcome then) {
    m_phase = Phase::Discarding;
    m_afterDiscarding = then;
    m_toDiscard = std::max<qint64>(1, m_import.valuesStored());
    m_label->setText(m_discardingText);
    m_cancel->setEnabled(false);
    QTimer::singleShot(0, this, &SeriesImportProgress::discardSlice);
}

void SeriesImportProgress::discardSlice() {
    QElapsedTimer clock;
    clock.start();
    const SeriesImport::Status status = m_import.discardSome(m_slice);
    m_slice = m_sizes.next(m_slice, clock.elapsed());
    m_bar->setValue(permille(m_import.valuesStored(), m_toDiscard));
    if (status == SeriesImport::Status::More)
        QTimer::singleShot(0, this, &SeriesImportProgress::discardSlice);
    else // a file that refuses the removal has it done when it is opened next
        end(m_afterDiscarding);
}

} // namespace velmara
