#include "pushcopier.h"

#include "data/stores/batteryrecords.h"
#include "data/stores/programstore.h"
#include "data/stores/serverline.h"
#include "data/stores/userstores.h"
#include "data/stores/valuestore.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace velmara {

namespace {

// Values per statement.
constexpr int kPortion = 5000;

QVariant orNull(const QString& text) {
    return text.isNull() ? QVariant() : QVariant(text);
}

// The key an insert guarded against a taken name returned; nullopt when the
// name was taken and nothing was inserted.
Result<std::optional<qint64>> insertedKey(const Result<PgRows>& rows) {
    if (!rows)
        return Failure{rows.error()};
    if (rows->rows.isEmpty())
        return std::optional<qint64>();
    return std::optional<qint64>(rows->value().toLongLong());
}

// The server numbers a portion's values as given (Seq), in one statement:
// all of the portion or none. The values travel as one JSON parameter.
const char* const kInsertValues = "INSERT INTO MessWerte (MessReiheID, Seq, EW, MessWertString) "
                                  "SELECT $1, (x->>0)::bigint, (x->>1)::boolean, x->>2 "
                                  "FROM jsonb_array_elements($2::jsonb) AS x";

} // namespace

Result<PushCopier::Outcome> PushCopier::program(const StoredProgram& program) {
    return copy(QStringLiteral("Programm"), program.id, [&] {
        return insertedKey(m_line.run(
            QStringLiteral("INSERT INTO Programme (Bez, Daten) SELECT $1::text, $2::text "
                           "WHERE NOT EXISTS (SELECT 1 FROM Programme WHERE lower(Bez) = "
                           "lower($1::text)) ON CONFLICT (Bez) DO NOTHING RETURNING ProgrammID"),
            {program.name, orNull(program.text)}));
    });
}

Result<PushCopier::Outcome> PushCopier::battery(const BatteryRow& battery, Counts& counts) {
    const auto series = m_file.batteries().seriesOf(battery.id);
    if (!series)
        return Failure{series.error()};
    return copy(QStringLiteral("Akku"), battery.id, [&]() -> Result<std::optional<qint64>> {
        counts = {};
        const auto made = insertedKey(
            m_line.run(QStringLiteral("INSERT INTO Akkus (AkkuName, bemerkung) VALUES ($1, $2) "
                                      "ON CONFLICT (AkkuName) DO NOTHING RETURNING AkkuId"),
                       {battery.name, orNull(battery.remark)}));
        if (!made || !*made)
            return made;
        for (const SeriesRow& s : *series) {
            const auto values = copySeries(s, **made);
            if (!values)
                return Failure{values.error()};
            ++counts.series;
            counts.values += *values;
        }
        return made;
    });
}

// Runs insert (the server's key of the new row, nullopt when its name is
// taken) in one transaction with the note of where the row came from.
Result<PushCopier::Outcome> PushCopier::copy(const QString& kind, qint64 localId,
                                             const Insert& insert) {
    Outcome outcome = Outcome::Pushed;
    const Result<void> done = m_line.inTransaction([&]() -> Result<void> {
        const auto before = copiedBefore(kind, localId);
        if (!before)
            return Failure{before.error()};
        if (*before) {
            outcome = Outcome::Already;
            return {};
        }
        const auto made = insert();
        if (!made)
            return Failure{made.error()};
        if (!*made) {
            // The name was taken by someone else, or by a push of this same
            // file that committed while this one waited for it.
            const auto meanwhile = copiedBefore(kind, localId);
            if (!meanwhile)
                return Failure{meanwhile.error()};
            outcome = *meanwhile ? Outcome::Already : Outcome::Clash;
            return {};
        }
        const auto noted = m_line.run(
            QStringLiteral("INSERT INTO Uebernahmen (StationKey, Art, LokalId, ServerId) "
                           "VALUES ($1, $2, $3, $4)"),
            {m_stationKey, kind, localId, **made});
        if (!noted)
            return Failure{noted.error()};
        return {};
    });
    if (!done)
        return Failure{done.error()};
    return outcome;
}

Result<bool> PushCopier::copiedBefore(const QString& kind, qint64 localId) {
    const auto n = m_line.number(QStringLiteral("SELECT count(*) FROM Uebernahmen WHERE "
                                                "StationKey = $1 AND Art = $2 AND LokalId = $3"),
                                 {m_stationKey, kind, localId});
    if (!n)
        return Failure{n.error()};
    return *n > 0;
}

// The series under the server's battery, with its values; how many values.
Result<qint64> PushCopier::copySeries(const SeriesRow& s, qint64 serverBattery) {
    const QString station = s.station.trimmed().isEmpty() ? m_stationName : s.station;
    const auto id = m_line.number(
        QStringLiteral("INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Datum, Programm, "
                       "Mode, Station, Kanal) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) "
                       "RETURNING MessReiheID"),
        {serverBattery, s.number > 0 ? QVariant(s.number) : QVariant(), orNull(s.remark),
         orNull(s.createdText), orNull(s.program), orNull(s.mode), station,
         s.channel > 0 ? QVariant(s.channel) : QVariant()});
    if (!id)
        return Failure{id.error()};
    return copyValues(s.id, *id);
}

// Ordinary and end values in the file's order, numbered 1..n, a portion per
// statement.
Result<qint64> PushCopier::copyValues(qint32 localSeries, qint64 serverSeries) {
    ValueRange range;
    range.seriesId = localSeries;
    qint64 seq = 0;
    for (;;) {
        QJsonArray portion;
        qint64 lastId = range.afterId;
        const Result<void> read = m_file.values().visit(range, [&](const StoredValueView& v) {
            portion.append(
                QJsonArray{seq + portion.size() + 1, v.endValue, QString::fromUtf8(v.text)});
            lastId = v.id;
            return portion.size() < kPortion;
        });
        if (!read)
            return Failure{read.error()};
        if (portion.isEmpty())
            return seq;
        const auto stored =
            m_line.run(QString::fromLatin1(kInsertValues),
                       {serverSeries,
                        QString::fromUtf8(QJsonDocument(portion).toJson(QJsonDocument::Compact))});
        if (!stored)
            return Failure{stored.error()};
        if (stored->changed != portion.size())
            return Failure{QStringLiteral("the server stored %1 of %2 values")
                               .arg(stored->changed)
                               .arg(portion.size())};
        seq += portion.size();
        if (portion.size() < kPortion)
            return seq;
        range.afterId = lastId;
    }
}

} // namespace velmara
