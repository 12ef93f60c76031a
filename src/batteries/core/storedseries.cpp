#include "batteries/core/storedseries.h"
#include "data/endvaluelines.h"

#include "base/core/formatting.h"
#include "batteries/core/referencetexts.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/userstores.h"
#include "data/stores/valuestore.h"
#include "data/valuestrings.h"

namespace velmara {

StoredSeriesReader::StoredSeriesReader(UserStores& stores, const ReferenceTexts& texts,
                                       TextLookupFn text, LogFunction log)
    : m_stores(stores), m_texts(texts), m_text(std::move(text)), m_log(std::move(log)) {}

StoredSeriesView StoredSeriesReader::read(const StoredSeriesSource& source) const {
    StoredSeriesView view;
    view.heading = m_text(QStringLiteral("0818")) + QStringLiteral(" - ") + source.batteryName +
                   QStringLiteral(" / ") + source.seriesNumber;
    view.remark = source.remark;
    view.program = std::make_shared<ProgramRecord>();
    const auto series = m_stores.batteries().seriesById(source.seriesId);
    view.found = series && *series;
    if (!view.found) {
        view.program->batteryType = ProgramRecord::Absent;
        return view;
    }
    readProgram(source.seriesId, (*series)->program, view);
    readEndValues(source.seriesId, view);
    buildLines(view);
    return view;
}

void StoredSeriesReader::readProgram(qint32 seriesId, QString text, StoredSeriesView& view) const {
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
    auto list = std::make_shared<EndValueList>();
    ValueRange range;
    range.seriesId = seriesId;
    range.kind = ValueRange::Kind::EndValues;
    (void)m_stores.values().visit(range, [&](const StoredValueView& value) {
        const LoadedMeasurementValue v = parseValueString(QString::fromUtf8(value.text), true);
        if (!v.bValid)
            return true; // a damaged text is left out rather than shown as zeros
        auto ew = std::make_shared<EndValueRecord>();
        ew->valueId = qint32(value.id);
        ew->batteryCondition = v.batteryCondition;
        ew->endValueType = v.endValueType;
        ew->percent = v.percent;
        ew->capacityMah = v.capacityMah;
        ew->voltageMv = v.voltageMv;
        ew->cycleSeconds = v.cycleSeconds;
        ew->hasBatteryCondition = v.hasBatteryCondition;
        ew->selfDischarge = v.hasSelfDischarge ? v.selfDischarge : -1;
        list->append(ew);
        return true;
    });
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
