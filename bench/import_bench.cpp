// Importing a series file of 1 000 000 values (or the count given as the first
// argument) through the import's progress dialog, as Datei > Importieren runs
// it: the time to read and to store, the peak resident memory of the import,
// and the longest gap between the ticks of a 10 ms timer (the event loop that
// keeps the channel windows polling), while reading and while storing.
//
//   build/bin/import_bench [values]
#include "batteries/core/batterystore.h"
#include "data/stores/userstores.h"
#include "exchange/core/seriescsv.h"
#include "exchange/core/seriesimport.h"
#include "exchange/ui/seriesimportprogress.h"
#include "series_db.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace velmara;

namespace {

// The peak resident memory since the last reset, in MB.
double peakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void resetPeakRss() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// A file as the export writes it: a ramp of ordinary values with an end value
// after every 10 000, written a line at a time.
bool writeFile(const QString& path, int values) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    SeriesFile head;
    head.batteryName = QStringLiteral("Bench");
    head.created = QStringLiteral("2026-03-01T10:30:00");
    file.write(writeSeriesCsv(head, {u';', u','}));
    QByteArray block;
    for (int i = 0; i < values; ++i) {
        const int mv = 1000 + i % 500, ma = 1500 - i % 7, mah = i / 3;
        if (i % 10000 == 9999)
            block += QByteArray::number(i * 3) + ";0,00;" + QByteArray::number(mv / 1000) + ',' +
                     QByteArray::number(mv % 1000).rightJustified(3, '0') + ";;" +
                     QByteArray::number(mah / 1000) + ',' +
                     QByteArray::number(mah % 1000).rightJustified(3, '0') + ";2;600;T;80;\n";
        else
            block += QByteArray::number(i * 3) + ";0,00;" + QByteArray::number(mv / 1000) + ',' +
                     QByteArray::number(mv % 1000).rightJustified(3, '0') + ";" +
                     QByteArray::number(ma / 1000) + ',' +
                     QByteArray::number(ma % 1000).rightJustified(3, '0') + ";" +
                     QByteArray::number(mah / 1000) + ',' +
                     QByteArray::number(mah % 1000).rightJustified(3, '0') + ";;;;;\n";
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return file.error() == QFile::NoError;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int values = argc > 1 ? std::atoi(argv[1]) : 1000000;

    QTemporaryDir dir;
    test::SeriesDb files(dir.path());
    if (!files.isOpen()) {
        std::fprintf(stderr, "import_bench: %s\n", qPrintable(files.error()));
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("series.csv"));
    if (!writeFile(path, values)) {
        std::fprintf(stderr, "import_bench: cannot write %s\n", qPrintable(path));
        return 1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;

    resetPeakRss();
    const double rssBefore = peakRssMb();
    QElapsedTimer clock;
    QElapsedTimer tick;
    qint64 last = 0, longestGap = 0, longestWhileReading = 0, readMs = 0, storeMs = 0;
    int longGaps = 0, longGapsWhileReading = 0; // over 100 ms
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = tick.elapsed();
        longestGap = std::max(longestGap, now - last);
        longGaps += now - last > 100 ? 1 : 0;
        last = now;
    });
    clock.start();
    tick.start();
    timer.start();

    const auto stores = makeSqliteStores([&] { return &files.db(); });
    BatteryStore store(stores->batteries());
    SeriesImport import(*stores);
    if (!import.open(file)) {
        std::fprintf(stderr, "import_bench: the file is refused (line %d)\n",
                     import.refusal().line);
        return 1;
    }
    ImportTarget target;
    target.newBatteryName = QStringLiteral("Bench");
    SeriesImportProgress progress(
        import, [&file] { return file.pos(); }, file.size(),
        [&] { return import.beginStore(store, target); }, [](const QString& key) { return key; });
    QObject::connect(&progress, &SeriesImportProgress::storingStarted, [&] {
        readMs = clock.elapsed();
        longestWhileReading = std::max(longestGap, tick.elapsed() - last);
        longestGap = 0;
        longGapsWhileReading = longGaps;
        longGaps = 0;
    });
    progress.exec();
    const qint64 totalMs = clock.elapsed();
    storeMs = totalMs - readMs;
    const qint64 longestWhileStoring = std::max(longestGap, tick.elapsed() - last);
    if (!import.stored()) {
        std::fprintf(stderr, "import_bench: not stored: %s\n", qPrintable(import.error()));
        return 1;
    }
    const qint64 rows =
        files.db().scalar(QStringLiteral("SELECT COUNT(*) FROM MessWerte")).toLongLong();
    std::printf("values stored          %lld (file %.1f MB)\n", rows, file.size() / 1048576.0);
    std::printf("time                   %.2f s (reading %.2f s, storing %.2f s)\n",
                totalMs / 1000.0, readMs / 1000.0, storeMs / 1000.0);
    std::printf("peak RSS               %.0f MB (%.0f MB before the import)\n", peakRssMb(),
                rssBefore);
    std::printf("longest event-loop gap %lld ms while reading, %lld ms while storing\n",
                longestWhileReading, longestWhileStoring);
    std::printf("gaps over 100 ms       %d while reading, %d while storing\n", longGapsWhileReading,
                longGaps);
    return 0;
}
