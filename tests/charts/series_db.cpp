#include "series_db.h"

#include "data/schema.h"
#include "storage/query.h"

namespace velmara::test {

SeriesDb::SeriesDb(const QString& parentFolder) : m_dir(parentFolder + "/series-XXXXXX") {
    m_db = Database::open(m_dir.filePath("veluser.mdb"), "MS Access;PWD=test", &m_error, false);
    if (m_db && upgradeSchema(*m_db, userSchemaSteps(), &m_error) == UpgradeResult::Failed)
        m_db.reset();
    if (m_db && !m_db->execute("INSERT INTO Akkus (AkkuName) VALUES ('Pack')")) {
        m_error = m_db->lastError();
        m_db.reset();
    }
}

qint32 SeriesDb::addSeries() {
    if (!m_db->execute("INSERT INTO MessReihen (AkkuId, Nummer) VALUES (1, 1)"))
        return -1;
    return qint32(m_db->lastInsertId());
}

qint64 SeriesDb::addValue(bool temporary, qint32 series, bool endValue, const QString& text) {
    const QString table = temporary ? "TempMessWerte" : "MessWerte";
    return m_db->execute("INSERT INTO " + table +
                             " (MessReiheID, EW, MessWertString) VALUES (?,?,?)",
                         {series, endValue, text})
               ? m_db->lastInsertId()
               : -1;
}

bool SeriesDb::addRamp(bool temporary, qint32 series, int n, int firstIndex) {
    return m_db->transaction([&] {
        const QString table = temporary ? "TempMessWerte" : "MessWerte";
        auto insert = m_db->prepare("INSERT INTO " + table +
                                    " (MessReiheID, EW, MessWertString) VALUES (?, 0, ?)");
        for (int i = firstIndex; i < firstIndex + n; ++i) {
            const QByteArray text = QByteArray::number(3 * i) + ';' + QByteArray::number(1000 + i) +
                                    ';' + QByteArray::number(2 * i) + ';' +
                                    QByteArray::number(60 * i);
            if (!insert->bind(1, series) || !insert->bindText(2, text) ||
                insert->next() != Query::Step::Done) {
                m_error = insert->error();
                return false;
            }
        }
        return true;
    });
}

} // namespace velmara::test
