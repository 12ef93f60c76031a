// The storage layer: finds by field and value over 1000 rows of texts (the text
// store looks up every text this way). Target: well under 1 ms per find.
#include "storage/database.h"
#include "storage/recordset.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velmara;

namespace {

std::unique_ptr<Database> textsDatabase(const QTemporaryDir& dir) {
    auto db = Database::open(dir.filePath("bench.mdb"), "MS Access;PWD=kqz", nullptr, false);
    if (!db || !db->execute("CREATE TABLE NLSResources (ResourceID TEXT, SprachCode TEXT, "
                            "ResourceText TEXT);"
                            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n "
                            "WHERE i < 999) INSERT INTO NLSResources SELECT "
                            "substr('0000' || i, -4), 'de', 'Text ' || i FROM n;"))
        return nullptr;
    return db;
}

QString keyOf(int i) {
    return QString("%1").arg(i % 1000, 4, 10, QLatin1Char('0'));
}

void BM_FindFirstEqual(benchmark::State& state) {
    QTemporaryDir dir;
    auto db = textsDatabase(dir);
    if (!db) {
        state.SkipWithError("cannot make the texts");
        return;
    }
    auto rs = db->openRecordset("SELECT * FROM NLSResources");
    int i = 0;
    for (auto _ : state) {
        if (!rs->findFirstEqual({{"ResourceID", keyOf(i++)}, {"SprachCode", "de"}})) {
            state.SkipWithError("a text was not found");
            return;
        }
    }
}
BENCHMARK(BM_FindFirstEqual)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
