#pragma once
// The program folder of the start-up benchmarks: both files made, the first
// start done, QMT4 with all four channels on the given serial device.
#include "data/session.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara::bench {

inline bool prepareFolder(Session& session, const QString& devicePath) {
    if (!session.openMaster().ok || !session.openUser().ok)
        return false;
    session.settings().setRecordset(session.master()->openRecordset("SELECT * FROM Optionen"));
    session.setSetting("FirstStartup", "NO");
    session.setSetting("UsedCharger", "QMT4");
    session.setSetting("ComPort", "1");
    session.setSetting("ComDevice1", devicePath);
    for (int i = 1; i <= 4; ++i)
        session.setSetting(QString("Akku%1Visible").arg(i), "YES");
    session.closeFiles();
    return true;
}

} // namespace velmara::bench
