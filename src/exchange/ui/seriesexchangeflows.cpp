#include "exchange/ui/seriesexchangeflows.h"

#include "base/core/messages.h"
#include "base/widgets/modal.h"
#include "batteries/core/batterystore.h"
#include "data/stores/userstores.h"
#include "exchange/core/seriesexchange.h"
#include "exchange/core/seriesimport.h"
#include "exchange/ui/seriesexportdialog.h"
#include "exchange/ui/seriesimportdialog.h"
#include "exchange/ui/seriesimportprogress.h"

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

// Refused files: what was wrong and in which line.
void tellRefusal(const ExchangeContext& context, const CsvRefusal& refusal) {
    QString key = QStringLiteral("2234");
    switch (refusal.reason) {
    case CsvRefusal::Reason::NotUtf8:
        key = QStringLiteral("4204");
        break;
    case CsvRefusal::Reason::BadDate:
        key = QStringLiteral("4206");
        break;
    case CsvRefusal::Reason::ControlCharacter:
        key = QStringLiteral("4208");
        break;
    default:
        break;
    }
    tell(context, key, context.text(key).arg(refusal.line), MsgIcon::Critical);
}

// Reads a series and writes its file; values that cannot be read are left out
// only when the user agrees to it, told how many they are.
bool exportOne(const ExchangeContext& context, qint32 seriesId, const CsvFormat& format,
               const QString& path) {
    const auto loaded = loadSeriesFile(*context.stores, seriesId);
    if (loaded && loaded->damaged > 0) {
        Message m;
        m.key = QStringLiteral("4212");
        m.text = context.text(m.key).arg(loaded->damaged).arg(loaded->file.seriesNumber);
        m.title = context.text(QStringLiteral("0001"));
        m.icon = MsgIcon::Question;
        m.buttons = MsgButtons::YesNo;
        if (context.prompter->show(m) != MsgAnswer::Yes)
            return false;
    }
    if (!loaded || !writeFileAtomically(path, writeSeriesCsv(loaded->file, format))) {
        tell(context, QStringLiteral("2228"), context.text(QStringLiteral("2228")),
             MsgIcon::Critical);
        return false;
    }
    return true;
}
} // namespace

bool runSeriesExport(const ExchangeContext& context, QWidget* parent) {
    if (!context.stores || !context.prompter)
        return false;
    BatteryStore store(context.stores->batteries());
    SeriesExportDialog dialog(store, context.text, context.language, parent);
    if (execModal(*context.prompter, &dialog) != QDialog::Accepted)
        return false;
    const QVector<qint32> chosen = dialog.chosenSeries();
    if (chosen.isEmpty()) {
        tell(context, QStringLiteral("2230"), context.text(QStringLiteral("2230")),
             MsgIcon::Information);
        return false;
    }
    CsvFormat format = csvFormatFor(dialog.separator(), context.locale);
    if (context.language == QStringLiteral("de"))
        format.language = CsvLanguage::German;
    QStringList paths;
    if (!dialog.allOfBattery()) {
        const auto row = store.seriesById(chosen.first());
        PathRequest request{PathRequest::Kind::SaveFile, kCsvFilter,
                            seriesFileName(dialog.batteryName(), row ? row->number : 1)};
        paths << context.askPath(request);
    } else {
        const QString folder = context.askPath({PathRequest::Kind::Folder, QString(), QString()});
        for (const qint32 id : chosen) {
            const auto row = store.seriesById(id);
            if (!folder.isEmpty())
                paths << QDir(folder).filePath(
                    seriesFileName(dialog.batteryName(), row ? row->number : int(id)));
        }
    }
    if (paths.isEmpty() || paths.first().isEmpty())
        return false;
    for (int i = 0; i < paths.size(); ++i)
        if (!exportOne(context, chosen[i], format, paths[i]))
            return false;
    return true;
}

bool runSeriesImport(const ExchangeContext& context, QWidget* parent) {
    if (!context.stores || !context.prompter)
        return false;
    const QString path = context.askPath({PathRequest::Kind::OpenFile, kCsvFilter, QString()});
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(context, QStringLiteral("2236"), context.text(QStringLiteral("2236")),
             MsgIcon::Critical);
        return false;
    }
    if (file.size() > kLargestSeriesFile) {
        const auto mb = [](qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); };
        tell(context, QStringLiteral("4210"),
             context.text(QStringLiteral("4210")).arg(mb(file.size()), mb(kLargestSeriesFile)),
             MsgIcon::Critical);
        return false;
    }
    SeriesImport import(*context.stores);
    if (!import.open(file)) {
        if (import.error().isEmpty())
            tellRefusal(context, import.refusal());
        else
            tell(context, QStringLiteral("2242"), context.text(QStringLiteral("2242")),
                 MsgIcon::Critical);
        return false;
    }
    BatteryStore store(context.stores->batteries());
    SeriesImportDialog dialog(store, import.head().batteryName, context.text, parent);
    if (execModal(*context.prompter, &dialog) != QDialog::Accepted)
        return false;
    ImportTarget target = dialog.target();
    target.newBatteryRemark = import.head().batteryRemark; // a new battery keeps its remark
    if (target.batteryId < 0 && store.checkName(target.newBatteryName) != NameCheck::Free) {
        tell(context, QStringLiteral("2246"), context.text(QStringLiteral("2246")),
             MsgIcon::Exclamation);
        return false;
    }
    SeriesImportProgress progress(
        import, [&file] { return file.pos(); }, file.size(),
        [&] { return import.beginStore(store, target); }, context.text, parent);
    execModal(*context.prompter, &progress);
    switch (progress.outcome()) {
    case SeriesImportProgress::Outcome::Cancelled:
    case SeriesImportProgress::Outcome::Running:
        return false;
    case SeriesImportProgress::Outcome::Refused:
        tellRefusal(context, import.refusal());
        return false;
    case SeriesImportProgress::Outcome::Failed:
    case SeriesImportProgress::Outcome::Stored:
        break;
    }
    const std::optional<ImportedSeries>& imported = import.stored();
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
