#include "exchange/core/seriesimport.h"

#include "batteries/core/batterystore.h"
#include "storage/database.h"
#include "storage/sqlitevalue.h"

#include <QIODevice>

#include <sqlcipher/sqlite3.h>

namespace velmara {

namespace {
// In the connection's temporary database: never written into the user file.
const QString kTable = QStringLiteral("temp.velmara_import");
} // namespace

struct SeriesImport::Insert {
    storage::Statement statement;
};

SeriesImport::SeriesImport(Database& user) : m_user(user) {}

SeriesImport::~SeriesImport() {
    drop();
}

void SeriesImport::drop() {
    if (!m_insert)
        return;
    m_insert.reset(); // a prepared statement would keep the table
    m_user.execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable);
}

bool SeriesImport::prepare() {
    drop();
    m_count = 0;
    if (!m_user.execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable) ||
        !m_user.execute(QStringLiteral("CREATE TABLE ") + kTable +
                        QStringLiteral(" (n INTEGER PRIMARY KEY, EW INTEGER NOT NULL, "
                                       "MessWertString TEXT NOT NULL)"))) {
        m_error = m_user.lastError();
        return false;
    }
    m_insert = std::make_unique<Insert>();
    if (!m_insert->statement.prepare(m_user.handle(),
                                     QStringLiteral("INSERT INTO ") + kTable +
                                         QStringLiteral(" (EW, MessWertString) VALUES (?1, ?2)"),
                                     &m_error)) {
        drop();
        return false;
    }
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
    if (!m_insert)
        return false;
    sqlite3_stmt* stmt = m_insert->statement.get();
    // One transaction per portion: a statement each, prepared once.
    return m_user.transaction([&] {
        for (const LoadedMeasurementValue& v : values) {
            const QByteArray text = valueStringOf(v).toUtf8();
            sqlite3_reset(stmt);
            sqlite3_bind_int(stmt, 1, v.isEndValue ? 1 : 0);
            sqlite3_bind_text(stmt, 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) != SQLITE_DONE) {
                m_error = storage::engineError(m_user.handle());
                sqlite3_reset(stmt);
                return false;
            }
            ++m_count;
        }
        sqlite3_reset(stmt);
        return true;
    });
}

SeriesImport::Status SeriesImport::readSome(int maxValues) {
    if (!m_reader || !m_insert)
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

std::optional<ImportedSeries> SeriesImport::store(BatteryStore& store, const ImportTarget& target) {
    if (!m_insert) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Nothing was read.");
        return std::nullopt;
    }
    m_insert.reset(); // no statement may stay open on the table being moved
    ImportedSeries imported;
    QString failure;
    const SeriesFile& series = m_head;
    const bool ok = m_user.transaction([&] {
        const auto created =
            target.batteryId < 0
                ? store.createBattery(target.newBatteryName, target.newBatteryRemark, series.remark)
                : store.addSeries(target.batteryId, series.remark);
        if (!created) {
            failure = store.lastError();
            return false;
        }
        imported = {created->batteryId, created->seriesId, created->number};
        // The file's date stands; a file without one keeps the time of the import.
        const QString sql =
            series.created.isEmpty()
                ? QStringLiteral("UPDATE MessReihen SET Programm = ?, Mode = ? WHERE "
                                 "MessReiheID = ?")
                : QStringLiteral("UPDATE MessReihen SET Programm = ?, Mode = ?, Datum = ? WHERE "
                                 "MessReiheID = ?");
        QVariantList params{series.program, series.mode};
        if (!series.created.isEmpty())
            params << series.created;
        params << imported.seriesId;
        if (!m_user.execute(sql, params) ||
            !m_user.execute(QStringLiteral("INSERT INTO MessWerte (MessReiheID, EW, "
                                           "MessWertString) SELECT ?, EW, MessWertString FROM ") +
                                kTable + QStringLiteral(" ORDER BY n"),
                            {imported.seriesId})) {
            failure = m_user.lastError();
            return false;
        }
        return true;
    });
    m_user.execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable);
    if (!ok) {
        m_error = failure.isEmpty() ? m_user.lastError() : failure;
        return std::nullopt;
    }
    return imported;
}

} // namespace velmara
