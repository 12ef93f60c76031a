#include "data/endvaluelines.h"
#include "batteries/core/storedseries.h"

#include "batteries/core/referencetexts.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "data/valuestrings.h"
#include "base/core/formatting.h"

namespace velmara {

StoredSeriesReader::StoredSeriesReader(Database& user, const ReferenceTexts& texts,
                                       TextLookupFn text, LogFunction log)
    : m_db(user), m_texts(texts), m_text(std::move(text)), m_log(std::move(log)) {}

StoredSeriesView StoredSeriesReader::read(const StoredSeriesSource& source) const {
    StoredSeriesView view;
    view.heading = m_text(QStringLiteral("0818")) + QStringLiteral(" - ") + source.batteryName +
                   QStringLiteral(" / ") + source.seriesNumber;
    view.remark = source.remark;
    view.program = std::make_shared<ProgramRecord>();
    view.found =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM MessReihen WHERE MessReiheID = ?"),
                    {source.seriesId})
            .toInt() == 1;
    if (!view.found) {
        view.program->batteryType = ProgramRecord::Absent;
        return view;
    }
    readProgram(source.seriesId, view);
    readEndValues(source.seriesId, view);
    buildLines(view);
    return view;
}

void StoredSeriesReader::readProgram(qint32 seriesId, StoredSeriesView& view) const {
    QString text =
        m_db.scalar(QStringLiteral("SELECT Programm FROM MessReihen WHERE MessReiheID = ?"),
                    {seriesId})
            .toString();
    ProgramRecord& program = *view.program;
    if (!text.trimmed().isEmpty()) {
        program.parse(text, true);
    } else {
        if (m_log) {
            m_log(QStringLiteral("No Program Value for Current Measurementrow"),
                  QStringLiteral("Current RowId: ") + QString::number(seriesId));
        }
        program.batteryType = ProgramRecord::Absent;
    }
    if (program.batteryType == ProgramRecord::Absent) {
        view.nominalCapacity = QStringLiteral("---");
        return;
    }
    view.batteryType = program.batteryType == 5 ? m_text(QStringLiteral("0912"))
                                             : m_texts.batteryTypes.value(program.batteryType);
    view.mode = m_texts.modes.value(QString::number(program.deviceMode));
    view.nominalCapacity = program.capacityMah == ProgramRecord::Absent
                               ? QStringLiteral("---")
                               : formatAmpereHourString(program.capacityMah);
}

void StoredSeriesReader::readEndValues(qint32 seriesId, StoredSeriesView& view) const {
    auto rs = m_db.openRecordset(
        QStringLiteral("SELECT MessWertId, MessWertString FROM MessWerte WHERE MessReiheID=") +
        QString::number(seriesId) + QStringLiteral(" AND EW=True ORDER BY MessWertId ASC"));
    if (!rs->isValid())
        return;
    auto list = std::make_shared<EndValueList>();
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
        const LoadedMeasurementValue v =
            parseValueString(rs->text(QStringLiteral("MessWertString")), true);
        if (!v.bValid)
            continue; // a damaged text is left out rather than shown as zeros
        auto ew = std::make_shared<EndValueRecord>();
        ew->valueId = rs->value(QStringLiteral("MessWertId")).toInt();
        ew->batteryCondition = v.batteryCondition;
        ew->endValueType = v.endValueType;
        ew->percent = v.percent;
        ew->capacityMah = v.capacityMah;
        ew->voltageMv = v.voltageMv;
        ew->cycleSeconds = v.cycleSeconds;
        ew->hasBatteryCondition = v.hasBatteryCondition;
        ew->selfDischarge = v.hasSelfDischarge ? v.selfDischarge : -1;
        list->append(ew);
    }
    if (!list->isEmpty())
        view.endValues = list;
}

void StoredSeriesReader::buildLines(StoredSeriesView& view) const {
    if (!view.endValues)
        return;
    const EndValueList& list = *view.endValues;
    int charge = 0, discharge = 0;
    if (list.first()->endValueType == EndValueRecord::AfterDischarge) {
        view.chargeLines.append({QStringLiteral("---"), 0});
        charge = 1;
    }
    for (const auto& ew : list) {
        if (ew->endValueType == EndValueRecord::AfterDischarge)
            view.dischargeLines.append({formatEndValueLine(++discharge, *ew), ew->valueId});
        else
            view.chargeLines.append({formatEndValueLine(++charge, *ew), ew->valueId});
    }
    const EndValueRecord& last = *list.last();
    if (last.hasBatteryCondition) {
        view.batteryState = FieldShow::Shown;
        view.batteryStateText =
            m_text(last.batteryCondition ? QStringLiteral("0847") : QStringLiteral("0846")) +
            QStringLiteral(" (") + QString::number(last.percent) + QStringLiteral("%)");
    } else {
        view.batteryState = FieldShow::Hidden;
    }
    if (last.selfDischarge == -1) {
        view.selfDischarge = FieldShow::Hidden;
    } else {
        view.selfDischarge = FieldShow::Shown;
        view.selfDischargeText = QString::number(last.selfDischarge) + QStringLiteral(" mAh");
    }
}

} // namespace velmara
