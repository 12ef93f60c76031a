#pragma once
// What the stored-series window shows, read from the user file each time the
// window becomes active: the program that was in use, the end values after
// charging and discharging, the battery state and self-discharge of the last
// end value, and the series remark.
#include "link/endvaluerecord.h"
#include "link/programrecord.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace velmara {

class UserStores;
struct ReferenceTexts;

// Which series the window shows (set by its opener).
struct StoredSeriesSource {
    qint32 seriesId = -1; // MessReiheID
    QString batteryName;  // AkkuName
    QString seriesNumber; // Nummer as shown in the grid
    QString remark;       // bemerkung
};

struct EndValueLine {
    QString text;
    qint32 valueId = 0; // MessWertId; 0 for the "---" line (the whole series)
    bool operator==(const EndValueLine&) const = default;
};

// A field pair (label and box) that the end values may show or hide; without
// end values it keeps what it showed before.
enum class FieldShow { Keep, Hidden, Shown };

struct StoredSeriesView {
    bool found = false; // false: the series no longer exists
    QString heading;    // "Akkumesswerte - name / number": window and frame caption
    std::shared_ptr<ProgramRecord> program; // batteryType -3: no program stored
    QString batteryType;
    QString mode;
    QString nominalCapacity;
    std::shared_ptr<EndValueList> endValues; // null when the series has none
    QList<EndValueLine> chargeLines;         // lstEndwertLaden
    QList<EndValueLine> dischargeLines;      // lstEndwertEntladen
    FieldShow batteryState = FieldShow::Keep;
    QString batteryStateText;
    FieldShow selfDischarge = FieldShow::Keep;
    QString selfDischargeText;
    QString remark;
};

using TextLookupFn = std::function<QString(const QString& key)>;
using LogFunction = std::function<void(const QString& signature, const QString& entry)>;

class StoredSeriesReader {
public:
    StoredSeriesReader(UserStores& stores, const ReferenceTexts& texts, TextLookupFn text,
                       LogFunction log);
    StoredSeriesView read(const StoredSeriesSource& source) const;

private:
    void readProgram(qint32 seriesId, QString text, StoredSeriesView& view) const;
    void readEndValues(qint32 seriesId, StoredSeriesView& view) const;
    void buildLines(StoredSeriesView& view) const;

    UserStores& m_stores;
    const ReferenceTexts& m_texts;
    TextLookupFn m_text;
    LogFunction m_log;
};

} // namespace velmara
