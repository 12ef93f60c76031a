#pragma once
// The delivered files of a fresh program folder, opened directly (no program-wide
// stores), and helpers that put batteries, series and values into the user file.
#include "batteries/core/batterystore.h"
#include "data/databases.h"
#include "storage/database.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QVariant>

#include <memory>

namespace velmara::test {

class BatteriesTest : public ::testing::Test {
public:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(createMissingDatabaseFiles(m_folder.folder(), &error)) << error.toStdString();
        user = Database::open(m_folder.path() + "/Daten/veluser.mdb", connectString(), &error);
        ASSERT_TRUE(user) << error.toStdString();
        master = Database::open(m_folder.path() + "/Daten/velmara.mdb", connectString(), &error);
        ASSERT_TRUE(master) << error.toStdString();
        store = std::make_unique<BatteryStore>(
            *user, [] { return QDateTime(QDate(2026, 3, 1), QTime(10, 30, 0)); });
    }

    qint32 insertBattery(const QString& name) {
        EXPECT_TRUE(user->execute("INSERT INTO Akkus (AkkuName, bemerkung) VALUES (?, '')", {name}))
            << user->lastError().toStdString();
        return qint32(user->lastInsertId());
    }
    qint32 insertSeries(qint32 battery, int number, const QString& program = QString()) {
        EXPECT_TRUE(user->execute(
            "INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Programm) VALUES (?, ?, ?, ?)",
            {battery, number, QString("remark %1").arg(number), program}));
        return qint32(user->lastInsertId());
    }
    qint32 insertValue(qint32 series, bool endValue, const QString& text) {
        EXPECT_TRUE(user->execute(
            "INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (?, ?, ?)",
            {series, endValue ? 1 : 0, text}));
        return qint32(user->lastInsertId());
    }
    // A battery with series numbered 1..n, each with two values; their ids in order.
    QVector<qint32> batteryWithSeries(const QString& name, int n, qint32* battery = nullptr) {
        const qint32 b = insertBattery(name);
        if (battery)
            *battery = b;
        QVector<qint32> ids;
        for (int i = 1; i <= n; ++i) {
            ids << insertSeries(b, i);
            insertValue(ids.last(), false, "1;2;3;4");
            insertValue(ids.last(), true, "2;100;1400;60;55");
        }
        return ids;
    }
    int rows(const QString& sql) { return user->scalar(sql).toInt(); }
    Session& session() { return m_folder.session(); }

    std::unique_ptr<Database> user;
    std::unique_ptr<Database> master;
    std::unique_ptr<BatteryStore> store;

private:
    TempProgramFolder m_folder;
};

// Texts for the tests: every key reads "<key>", a few carry their arguments.
inline QString testText(const QString& key) {
    static const QHash<QString, QString> withArgs = {{"0743", "series %1 values %2"},
                                                     {"0745", "values %1"}};
    return withArgs.value(key, "<" + key + ">");
}

} // namespace velmara::test
