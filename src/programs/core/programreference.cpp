#include "programs/core/programreference.h"

#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <functional>

namespace velmara {

const BatteryType* ProgramReference::batteryType(int number) const {
    for (const BatteryType& t : batteryTypes)
        if (t.number == number)
            return &t;
    return nullptr;
}

const DeviceMode* ProgramReference::deviceMode(int number) const {
    for (const DeviceMode& m : deviceModes)
        if (m.number == number)
            return &m;
    return nullptr;
}

const LimitRow* ProgramReference::limit(const QString& key) const {
    for (const LimitRow& l : limits)
        if (l.key == key)
            return &l;
    return nullptr;
}

int ProgramReference::formingIndexOf(int sendCode) const {
    for (int i = 0; i < formingModes.size(); ++i)
        if (formingModes.at(i).sendCode == sendCode)
            return i;
    return -1;
}

namespace {

bool readAll(Database* db, const QString& sql, const std::function<void(const Recordset&)>& row,
             QString* error) {
    auto rs = db->openRecordset(sql);
    if (!rs->isValid()) {
        if (error)
            *error = rs->error();
        return false;
    }
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        row(*rs);
    return true;
}

bool flag(const Recordset& rs, const char* column) {
    return rs.value(QLatin1String(column)).toInt() != 0;
}

} // namespace

ProgramReference loadProgramReference(Database* master, const QString& charger,
                                      const QString& language, QString* error) {
    ProgramReference ref;
    if (!master) {
        if (error)
            *error = QStringLiteral("no master database");
        return ref;
    }
    const bool ok =
        readAll(
            master, akkutypenQuery(charger, language),
            [&](const Recordset& rs) {
                ref.batteryTypes.append(
                    {rs.value("Nr").toInt(), rs.value("Nennspannung").toDouble(),
                     rs.value("ZMin").toInt(), rs.value("ZMax").toInt(), rs.text("ResourceText")});
            },
            error) &&
        readAll(
            master, geraeteModiQuery(language),
            [&](const Recordset& rs) {
                ref.deviceModes.append({rs.value("ModusNr").toInt(), flag(rs, "LBlock"),
                                        flag(rs, "EBlock"), flag(rs, "TSel"), flag(rs, "FormCbo"),
                                        flag(rs, "TageText"), flag(rs, "Ladeschluss"),
                                        flag(rs, "Entladeschluss"), rs.text("ResourceText")});
            },
            error) &&
        readAll(
            master, formierModiQuery(),
            [&](const Recordset& rs) {
                ref.formingModes.append({rs.text("Modus"), rs.value("SendeCode").toInt()});
            },
            error) &&
        readAll(
            master, minMaxWerteQuery(charger),
            [&](const Recordset& rs) {
                ref.limits.append(
                    {rs.text("Bez"), rs.value("Min").toDouble(), rs.value("Max").toDouble()});
            },
            error);
    if (!ok)
        return ProgramReference{};
    return ref;
}

} // namespace velmara
