#include "exchange/ui/seriesexchangeflows.h"

#include "base/core/messages.h"
#include "base/widgets/modal.h"
#include "batteries/core/batterystore.h"
#include "exchange/core/seriesexchange.h"
#include "exchange/ui/seriesexportdialog.h"
#include "exchange/ui/seriesimportdialog.h"

#include <QDir>
#include <QFile>

namespace velmara {

namespace {
const QString kCsvFilter = QStringLiteral("CSV (*.csv)");

void tell(const ExchangeContext& context, const QString& key, const QString& text, MsgIcon icon) {
    Message m;
    m.key = key;
    m.text = text;
    m.title = context.text(QStringLiteral("0001"));
    m.icon = icon;
    context.prompter->show(m);
}

bool writeOne(const ExchangeContext& context, qint32 seriesId, const CsvFormat& format,
              const QString& path) {
    const auto loaded = loadSeriesFile(*context.user, seriesId);
    return loaded && writeFileAtomically(path, writeSeriesCsv(loaded->file, format));
}
} // namespace

bool runSeriesExport(const ExchangeContext& context, QWidget* parent) {
    if (!context.user || !context.prompter)
        return false;
    BatteryStore store(*context.user);
    SeriesExportDialog dialog(store, context.text, parent);
    if (execModal(*context.prompter, &dialog) != QDialog::Accepted)
        return false;
    const QVector<qint32> chosen = dialog.chosenSeries();
    if (chosen.isEmpty()) {
        tell(context, QStringLiteral("2230"), context.text(QStringLiteral("2230")),
             MsgIcon::Information);
        return false;
    }
    const CsvFormat format = csvFormatFor(dialog.separator(), context.locale);
    if (!dialog.allOfBattery()) {
        const auto row = store.seriesById(chosen.first());
        PathRequest request{PathRequest::Kind::SaveFile, kCsvFilter,
                            seriesFileName(dialog.batteryName(), row ? row->number : 1)};
        const QString path = context.askPath(request);
        if (path.isEmpty())
            return false;
        if (!writeOne(context, chosen.first(), format, path)) {
            tell(context, QStringLiteral("2228"), context.text(QStringLiteral("2228")),
                 MsgIcon::Critical);
            return false;
        }
        return true;
    }
    const QString folder = context.askPath({PathRequest::Kind::Folder, QString(), QString()});
    if (folder.isEmpty())
        return false;
    for (const qint32 id : chosen) {
        const auto row = store.seriesById(id);
        const QString path = QDir(folder).filePath(
            seriesFileName(dialog.batteryName(), row ? row->number : int(id)));
        if (!row || !writeOne(context, id, format, path)) {
            tell(context, QStringLiteral("2228"), context.text(QStringLiteral("2228")),
                 MsgIcon::Critical);
            return false;
        }
    }
    return true;
}

bool runSeriesImport(const ExchangeContext& context, QWidget* parent) {
    if (!context.user || !context.prompter)
        return false;
    const QString path = context.askPath({PathRequest::Kind::OpenFile, kCsvFilter, QString()});
    if (path.isEmpty())
        return false;
    QFile file(path);
    // An exported series of a long run is a few MB; a file far beyond is no such series.
    constexpr qint64 kLargest = qint64(256) * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargest) {
        tell(context, QStringLiteral("2236"), context.text(QStringLiteral("2236")),
             MsgIcon::Critical);
        return false;
    }
    const CsvReadResult read = readSeriesCsv(file.readAll());
    if (!read.series) {
        tell(context, QStringLiteral("2234"),
             context.text(QStringLiteral("2234")).arg(read.refusal.line), MsgIcon::Critical);
        return false;
    }
    BatteryStore store(*context.user);
    SeriesImportDialog dialog(store, read.series->batteryName, context.text, parent);
    if (execModal(*context.prompter, &dialog) != QDialog::Accepted)
        return false;
    ImportTarget target = dialog.target();
    target.newBatteryRemark = read.series->batteryRemark; // a new battery keeps its remark
    if (target.batteryId < 0 && store.checkName(target.newBatteryName) != NameCheck::Free) {
        tell(context, QStringLiteral("2246"), context.text(QStringLiteral("2246")),
             MsgIcon::Exclamation);
        return false;
    }
    const auto imported = importSeriesFile(*context.user, store, target, *read.series);
    if (!imported) {
        tell(context, QStringLiteral("2242"), context.text(QStringLiteral("2242")),
             MsgIcon::Critical);
        return false;
    }
    const auto battery = store.battery(imported->batteryId);
    tell(context, QStringLiteral("2244"),
         context.text(QStringLiteral("2244"))
             .arg(imported->number)
             .arg(battery ? battery->name : QString()),
         MsgIcon::Information);
    return true;
}

} // namespace velmara
