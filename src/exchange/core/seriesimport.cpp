#include "exchange/core/seriesimport.h"

#include "batteries/core/batterystore.h"
#include "data/stores/importstaging.h"
#include "data/stores/userstores.h"

#include <QIODevice>

#include <algorithm>
#include <limits>

namespace velmara {

namespace {
constexpr int kAll = std::numeric_limits<int>::max();
} // namespace

SeriesImport::SeriesImport(UserStores& stores) : m_staging(stores.newImportStaging()) {}

SeriesImport::~SeriesImport() {
    if (m_hiddenSeries >= 0)
        (void)m_staging->removeUnfinished(m_hiddenSeries);
    m_staging->holdSyncs(false);
    m_staging->end();
}

bool SeriesImport::prepare() {
    m_count = 0;
    m_reading = false;
    const Result<void> begun = m_staging->begin();
    if (!begun) {
        m_error = begun.error();
        return false;
    }
    m_reading = m_haveTable = true;
    return true;
}

bool SeriesImport::open(QIODevice& device) {
    m_reader = std::make_unique<SeriesCsvReader>(device);
    if (!m_reader->readHead())
        return false;
    m_head = m_reader->head();
    return prepare();
}

bool SeriesImport::open(const SeriesFile& head) {
    m_reader.reset();
    m_head = head;
    m_head.values.clear();
    return prepare();
}

bool SeriesImport::add(const QVector<LoadedMeasurementValue>& values) {
    if (!m_reading)
        return false;
    QVector<StagedValue> staged;
    staged.reserve(values.size());
    for (const LoadedMeasurementValue& v : values)
        staged.append({v.isEndValue, valueStringOf(v)});
    const Result<qint64> count = m_staging->add(staged);
    if (!count) {
        m_error = count.error();
        return false;
    }
    m_count = *count;
    return true;
}

SeriesImport::Status SeriesImport::readSome(int maxValues) {
    if (!m_reader || !m_reading)
        return Status::Failed;
    m_portion.clear();
    const SeriesCsvReader::Status read = m_reader->readValues(maxValues, &m_portion);
    if (read == SeriesCsvReader::Status::Refused)
        return Status::Refused;
    if (!add(m_portion))
        return Status::Failed;
    return read == SeriesCsvReader::Status::Done ? Status::Done : Status::More;
}

const CsvRefusal& SeriesImport::refusal() const {
    static const CsvRefusal none;
    return m_reader ? m_reader->refusal() : none;
}

bool SeriesImport::beginStore(BatteryStore& store, const ImportTarget& target) {
    m_records = &store.records();
    if (!m_haveTable || m_hiddenSeries >= 0 || m_imported) {
        m_error = QStringLiteral("Nothing was read.");
        return false;
    }
    m_reading = false; // the reading is over
    m_error.clear();
    const bool newBattery = target.batteryId < 0;
    if (newBattery && store.checkName(target.newBatteryName) != NameCheck::Free) {
        m_error = store.lastError().isEmpty()
                      ? QStringLiteral("The battery name is blank or taken.")
                      : store.lastError();
        return false;
    }
    BatteryRecords& records = store.records();
    qint32 battery = target.batteryId;
    qint32 series = -1;
    const Result<void> done = records.inOneStep([&]() -> Result<void> {
        if (newBattery) {
            const auto made =
                records.insertBattery(target.newBatteryName.trimmed(), target.newBatteryRemark);
            if (!made)
                return Failure{made.error()};
            battery = *made;
        } else if (const auto exists = records.batteryExists(battery); !exists || !*exists) {
            return Failure{exists ? QStringLiteral("Battery %1 does not exist.").arg(battery)
                                  : exists.error()};
        }
        // The file's date stands; a file without one keeps the time of the import.
        const QVariant created =
            m_head.created.isEmpty() ? QVariant(store.now()) : QVariant(m_head.created);
        const auto hidden =
            records.insertSeries({battery, 0, m_head.remark, created, m_head.program, m_head.mode});
        if (!hidden)
            return Failure{hidden.error()};
        series = *hidden;
        return records.markImporting(series,
                                     newBattery ? std::optional<qint32>(battery) : std::nullopt);
    });
    if (!done) {
        m_error = done.error();
        return false;
    }
    m_batteryId = battery;
    m_hiddenSeries = series;
    m_stored = 0;
    m_staging->holdSyncs(true);
    return true;
}

SeriesImport::Status SeriesImport::storeSome(int maxValues) {
    if (m_imported)
        return Status::Done;
    if (m_hiddenSeries < 0 || !m_haveTable) {
        m_error = QStringLiteral("Nothing is being stored.");
        return Status::Failed;
    }
    const qint64 upTo = std::min(m_count, m_stored + std::max(1, maxValues));
    const bool last = upTo == m_count;
    int number = 0;
    const Result<void> done = m_staging->inSlice(
        [&]() -> Result<void> {
            if (upTo > m_stored)
                if (auto moved = m_staging->moveInto(m_hiddenSeries, m_stored, upTo); !moved)
                    return moved;
            if (!last)
                return {};
            // Numbered after whatever series the battery got meanwhile, and shown
            // in the same step as its last values.
            const auto highest = m_records->highestNumber(m_batteryId);
            if (!highest)
                return Failure{highest.error()};
            number = *highest + 1;
            if (auto shown = m_records->setNumber(m_hiddenSeries, number); !shown)
                return shown;
            return m_records->unmarkImporting(m_hiddenSeries);
        },
        last);
    if (!done) {
        m_error = done.error();
        return Status::Failed;
    }
    m_stored = upTo;
    if (!last)
        return Status::More;
    m_imported = ImportedSeries{m_batteryId, m_hiddenSeries, number};
    m_hiddenSeries = -1;
    m_staging->holdSyncs(false);
    return Status::Done; // the staged values go with the import, not in this turn
}

SeriesImport::Status SeriesImport::discardSome(int maxValues) {
    if (m_hiddenSeries < 0) {
        m_staging->holdSyncs(false);
        m_staging->end();
        m_haveTable = false;
        return Status::Done;
    }
    if (m_stored > 0) {
        const qint64 n = std::min<qint64>(m_stored, std::max(1, maxValues));
        const Result<void> done =
            m_staging->inSlice([&] { return m_staging->removeSome(m_hiddenSeries, n); }, false);
        if (!done) {
            m_error = done.error();
            return Status::Failed;
        }
        m_stored -= n;
        return Status::More;
    }
    // Whatever is left (the values too, should more be there than counted).
    if (const Result<int> removed = m_staging->removeUnfinished(m_hiddenSeries); !removed) {
        m_error = removed.error();
        return Status::Failed;
    }
    m_hiddenSeries = -1;
    m_staging->holdSyncs(false);
    m_staging->end();
    m_haveTable = false;
    return Status::Done;
}

std::optional<ImportedSeries> SeriesImport::store(BatteryStore& store, const ImportTarget& target) {
    if (!beginStore(store, target))
        return std::nullopt;
    Status status = Status::More;
    while (status == Status::More)
        status = storeSome(kAll);
    if (status == Status::Done)
        return m_imported;
    const QString failure = m_error;
    while (discardSome(kAll) == Status::More) {
    }
    m_error = failure;
    return std::nullopt;
}

int SliceSize::next(int last, qint64 elapsedMs) const {
    const qint64 scaled = qint64(last) * targetMs / std::max<qint64>(1, elapsedMs);
    return int(std::clamp<qint64>(std::min<qint64>(scaled, qint64(last) * 2), min, max));
}

} // namespace velmara
