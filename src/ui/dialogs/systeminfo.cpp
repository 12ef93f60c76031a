#include "ui/dialogs/systeminfo.h"

#include "storage/database.h"

#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QtGlobal>

namespace velmara {

namespace {
QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

// "name<tab>: value" lines of /proc files.
QString fieldValue(const QString& line) {
    return line.section(QLatin1Char(':'), 1).trimmed();
}
QString fieldName(const QString& line) {
    return line.section(QLatin1Char(':'), 0, 0).trimmed();
}
} // namespace

QString programVersion() {
    return QStringLiteral("velmara %1.%2.%3")
        .arg(VELMARA_VERSION_MAJOR)
        .arg(VELMARA_VERSION_MINOR)
        .arg(VELMARA_VERSION_PATCH);
}

QStringList libraryVersions(Database* master) {
    QStringList lines;
    lines << QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion()));
    lines << Database::engineVersion();
    if (master) {
        const QString cipher = master->scalar(QStringLiteral("PRAGMA cipher_version")).toString();
        if (!cipher.isEmpty())
            lines << QStringLiteral("SQLCipher %1").arg(cipher);
    }
    return lines;
}

QString findSystemInfoTool(const QStringList& folders) {
    static const char* const tools[] = {"hardinfo2", "hardinfo", "kinfocenter",
                                        "gnome-system-monitor"};
    for (const char* tool : tools) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(tool), folders);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString cpuSummary(const QString& cpuinfo) {
    QString model;
    int count = 0;
    for (const QString& line : cpuinfo.split(QLatin1Char('\n'))) {
        const QString name = fieldName(line);
        if (name == QLatin1String("processor"))
            ++count;
        else if (model.isEmpty() && name == QLatin1String("model name"))
            model = fieldValue(line);
    }
    if (model.isEmpty())
        return {};
    return count > 1 ? QStringLiteral("%1 \u00d7 %2").arg(model).arg(count) : model;
}

QString memorySummary(const QString& meminfo, const QLocale& locale) {
    for (const QString& line : meminfo.split(QLatin1Char('\n'))) {
        if (fieldName(line) != QLatin1String("MemTotal"))
            continue;
        bool ok = false;
        const double kib = fieldValue(line).section(QLatin1Char(' '), 0, 0).toDouble(&ok);
        return ok ? locale.toString(kib / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" GiB")
                  : QString();
    }
    return {};
}

QString labelledLine(const QString& label, const QString& value) {
    QString head = label.trimmed();
    if (!head.endsWith(QLatin1Char(':')))
        head += QLatin1Char(':');
    return head + QLatin1Char(' ') + value.trimmed();
}

QString systemSummary(const std::function<QString(const QString&)>& label, const QLocale& locale) {
    const QString lines[][2] = {
        {QStringLiteral("1616"), QSysInfo::prettyProductName()},
        {QStringLiteral("1618"), QSysInfo::kernelType() + QLatin1Char(' ') +
                                     QSysInfo::kernelVersion() + QLatin1Char(' ') +
                                     QSysInfo::currentCpuArchitecture()},
        {QStringLiteral("1620"), QSysInfo::machineHostName()},
        {QStringLiteral("1622"), cpuSummary(readText(QStringLiteral("/proc/cpuinfo")))},
        {QStringLiteral("1624"), memorySummary(readText(QStringLiteral("/proc/meminfo")), locale)},
    };
    QStringList out;
    for (const auto& [key, value] : lines)
        if (!value.trimmed().isEmpty())
            out << labelledLine(label(key), value);
    return out.join(QLatin1Char('\n'));
}

} // namespace velmara
