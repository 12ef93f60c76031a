#include "push.h"
#include "pushcopier.h"

#include "base/core/programfolder.h"
#include "data/serverschema.h"
#include "data/session.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/programstore.h"
#include "data/stores/serverline.h"
#include "data/stores/serveroutbox.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace velmara {

namespace {

using Outcome = PushCopier::Outcome;

// A name as a terminal shows it: control characters (which could move the
// cursor or change colours) become '?'.
QString shown(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    return out;
}

bool opened(const FileOpening& file, QTextStream& err) {
    if (!file.ok)
        err << "velmara-db: cannot open " << file.path << ": " << file.reason << "\n";
    else if (!file.damage.isEmpty())
        err << "velmara-db: " << file.path << " is damaged: " << file.damage.join("; ") << "\n";
    return file.ok && file.damage.isEmpty();
}

struct Tally {
    int batteries = 0, series = 0, programs = 0, already = 0, skipped = 0;
    qint64 values = 0;
};

void summarise(const Tally& t, QTextStream& out) {
    out << "pushed " << t.batteries << " batteries, " << t.series << " series, " << t.values
        << " values, " << t.programs << " programs; " << t.already << " already on the server; "
        << t.skipped << " skipped" << Qt::endl;
}

// A session on the folder, locked, with both files open and brought up to
// date as at the program's start; null (the reason on err) otherwise.
std::unique_ptr<Session> openFolder(const ProgramFolder& folder, QTextStream& err) {
    if (!QFileInfo(folder.userPath()).isFile()) {
        err << "velmara-db: there is no user file " << folder.userPath() << "\n";
        return nullptr;
    }
    auto session = std::make_unique<Session>(folder);
    // Nothing may be recorded into the file while it is copied.
    if (const FolderLock lock = session->lockDataFolder(); !lock.ok) {
        err << "velmara-db: velmara is using " << folder.dataDir() << " (process " << lock.pid
            << " on " << lock.host << ")\n";
        return nullptr;
    }
    QString error;
    if (!opened(session->openMaster(), err) || !opened(session->openUser(), err))
        return nullptr;
    if (!session->openStores(&error)) {
        err << "velmara-db: cannot read the settings: " << error << "\n";
        return nullptr;
    }
    return session;
}

} // namespace

int pushUserFile(const QString& folderPath, const QString& conninfo, QTextStream& out,
                 QTextStream& err) {
    const ProgramFolder folder(folderPath);
    const std::unique_ptr<Session> session = openFolder(folder, err);
    if (!session)
        return PushFailed;
    ServerOutbox outbox([&session] { return session->user(); });
    const auto key = outbox.stationKey();
    UserStores& file = session->fileStores();
    auto programs = file.programs().all();
    auto batteries = file.batteries().batteries();
    for (const QString& failure : {key.error(), programs.error(), batteries.error()})
        if (!failure.isEmpty()) {
            err << "velmara-db: " << folder.userPath() << ": " << failure << "\n";
            return PushFailed;
        }
    std::sort(batteries->begin(), batteries->end(),
              [](const BatteryRow& a, const BatteryRow& b) { return a.id < b.id; });

    ServerLine line(conninfo, {PgConnection::Wait(10000), PgConnection::Wait(60000)});
    line.setOnConnect([](PgConnection& connection) -> Result<void> {
        if (const auto version = upgradeServerSchema(connection); !version)
            return Failure{version.error()};
        return {};
    });
    if (const auto reached = line.run(QStringLiteral("SELECT 1")); !reached) {
        err << "velmara-db: " << reached.error() << "\n";
        return PushFailed;
    }

    PushCopier copier(line, file, *key, session->stationName());
    Tally tally;
    auto failed = [&](const QString& what, const QString& why) {
        err << "velmara-db: " << what << ": " << why << "\n";
        summarise(tally, out);
        return PushFailed;
    };
    for (const StoredProgram& program : *programs) {
        const auto outcome = copier.program(program);
        const QString name = "\"" + shown(program.name) + "\"";
        if (!outcome)
            return failed("program " + name, outcome.error());
        if (*outcome == Outcome::Clash)
            err << "program " << name << " exists on the server: skipped" << Qt::endl;
        tally.programs += *outcome == Outcome::Pushed;
        tally.already += *outcome == Outcome::Already;
        tally.skipped += *outcome == Outcome::Clash;
    }
    for (qsizetype i = 0; i < batteries->size(); ++i) {
        const BatteryRow& battery = batteries->at(i);
        PushCopier::Counts counts;
        const auto outcome = copier.battery(battery, counts);
        const QString name = "\"" + shown(battery.name) + "\"";
        if (!outcome)
            return failed("battery " + name, outcome.error());
        const QString head = QStringLiteral("battery %1/%2 ").arg(i + 1).arg(batteries->size());
        if (*outcome == Outcome::Pushed) {
            out << head << name << ": " << counts.series << " series, " << counts.values
                << " values" << Qt::endl;
            ++tally.batteries;
            tally.series += counts.series;
            tally.values += counts.values;
        } else if (*outcome == Outcome::Already) {
            out << head << name << ": already on the server" << Qt::endl;
            ++tally.already;
        } else {
            err << "battery " << name << " exists on the server: skipped" << Qt::endl;
            ++tally.skipped;
        }
    }
    summarise(tally, out);
    return tally.skipped > 0 ? PushSkippedClashes : PushDone;
}

} // namespace velmara
