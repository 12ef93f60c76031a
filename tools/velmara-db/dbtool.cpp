#include "dbtool.h"
#include "push.h"

#include "base/core/programfolder.h"
#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QDir>
#include <QFileInfo>

namespace velmara {

namespace {

const char* const kUsage =
    "usage: velmara-db --folder DIR COMMAND\n"
    "  init             create DIR/Daten/velmara.mdb and veluser.mdb when missing\n"
    "  get KEY          print the value of a setting\n"
    "  set KEY VALUE    change the value of an existing setting\n"
    "  push --to CONNINFO\n"
    "                   copy the batteries, series, values and programs of\n"
    "                   DIR/Daten/veluser.mdb onto a PostgreSQL server (a libpq\n"
    "                   connection string or service=NAME)\n";

std::unique_ptr<Database> openMaster(const ProgramFolder& folder, QTextStream& err) {
    QString error;
    auto db = Database::open(folder.masterPath(), connectString(), &error, true);
    if (!db)
        err << "velmara-db: cannot open " << folder.masterPath() << ": " << error << "\n";
    return db;
}

bool findKey(Recordset& rs, const QString& key) {
    rs.moveFirst();
    return rs.findFirstEqual(QStringLiteral("key"), key);
}

} // namespace

int runDbTool(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString folderPath;
    QStringList rest;
    bool help = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--folder" && i + 1 < args.size())
            folderPath = args[++i];
        else if (args[i] == "--help" || args[i] == "-h")
            help = true;
        else
            rest << args[i];
    }
    // An unknown command or option is an error, also beside --help: scripts see it.
    static const QStringList commands{"init", "get", "set", "push"};
    if (!rest.isEmpty() && !commands.contains(rest.first())) {
        err << "velmara-db: unknown command " << rest.first() << "\n" << kUsage;
        return 2;
    }
    if (help) {
        out << kUsage;
        return 0;
    }
    if (folderPath.isEmpty() || rest.isEmpty()) {
        err << kUsage;
        return 2;
    }
    if (!QFileInfo(folderPath).isDir()) {
        err << "velmara-db: no such folder: " << folderPath << "\n";
        return 2;
    }
    ProgramFolder folder(QDir(folderPath).absolutePath());
    const QString cmd = rest.takeFirst();
    if (cmd == "init" && rest.isEmpty()) {
        QString error;
        if (!createMissingDatabaseFiles(folder, &error)) {
            err << "velmara-db: " << error << "\n";
            return 1;
        }
        out << folder.masterPath() << "\n" << folder.userPath() << "\n";
        return 0;
    }
    if (cmd == "push" && rest.size() == 2 && rest[0] == "--to")
        return pushUserFile(folder.root(), rest[1], out, err);
    if ((cmd == "get" && rest.size() == 1) || (cmd == "set" && rest.size() == 2)) {
        auto db = openMaster(folder, err);
        if (!db)
            return 1;
        auto rs = db->openRecordset("SELECT * FROM Optionen");
        if (!rs->isValid()) {
            err << "velmara-db: " << rs->error() << "\n";
            return 1;
        }
        if (!findKey(*rs, rest[0])) {
            err << "velmara-db: no setting " << rest[0] << "\n";
            return 3;
        }
        if (cmd == "get") {
            out << rs->text("value") << "\n";
            return 0;
        }
        rs->edit();
        rs->setValue("value", rest[1]);
        if (!rs->update()) {
            err << "velmara-db: " << rs->error() << "\n";
            return 1;
        }
        return 0;
    }
    err << kUsage;
    return 2;
}

} // namespace velmara
