#pragma once
// Reads the ordinary values of a selection in recording order, a chunk at a time
// so the user interface can run between chunks (the channel windows keep polling
// while a long series loads). No read stays open between chunks, and values
// recorded after start() are not included.
#include "charts/core/valueselection.h"

#include <QString>

#include <memory>
#include <vector>

namespace velmara {

// One ordinary value, as stored (thousandths and seconds).
struct SeriesSample {
    qint32 seconds = 0;          // elapsedSeconds
    qint32 millivolt = 0;        // voltageMv
    qint32 milliampere = 0;      // chargeCurrentMa
    qint32 milliampereHours = 0; // capacityMah
};

// Decodes the text of an ordinary value "capacity;voltage;current;seconds" (further
// fields are ignored). False for a damaged text: fewer than four fields, or a field
// that is not a whole number fitting 32 bits.
bool decodeOrdinaryValue(const char* text, int length, SeriesSample* sample);

class SeriesReader {
public:
    enum class Status { More, Done, Failed };

    SeriesReader();
    ~SeriesReader();
    SeriesReader(const SeriesReader&) = delete;
    SeriesReader& operator=(const SeriesReader&) = delete;

    // Prepares the read; the store must stay until the reader is done.
    bool start(ValueStore& values, const ValueSelection& selection, QString* error = nullptr);
    // Reads up to maxRows further rows.
    Status readSome(int maxRows);
    // Reads everything that is left.
    Status readAll();

    const std::vector<SeriesSample>& samples() const { return m_samples; }
    std::vector<SeriesSample> takeSamples() { return std::move(m_samples); }
    // Rows whose text could not be decoded; they are left out.
    qint64 damagedCount() const { return m_damaged; }
    const QString& error() const { return m_error; }

private:
    Status fail(const QString& error);
    std::unique_ptr<ValueCursor> m_cursor;
    bool m_done = false;
    qint64 m_damaged = 0;
    QString m_error;
    std::vector<SeriesSample> m_samples;
};

} // namespace velmara
