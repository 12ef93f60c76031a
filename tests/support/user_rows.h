#pragma once
// Rows put into and read from a user file, bound (names may hold quotes).
#include "storage/database.h"

#include <QVariant>

namespace velmara::test {

// A new battery with one series (number 1) and the series' program, if any.
struct NewSeries {
    qint32 akku, id;
};
inline NewSeries newSeries(Database& user, const QString& name = "Pack A",
                           const QString& program = QString()) {
    user.execute("INSERT INTO Akkus (AkkuName) VALUES (?)", {name});
    const qint32 akku = qint32(user.lastInsertId());
    user.execute("INSERT INTO MessReihen (AkkuId, Nummer, Programm) VALUES (?, 1, ?)",
                 {akku, program.isEmpty() ? QVariant() : QVariant(program)});
    return {akku, qint32(user.lastInsertId())};
}

// n values "i;7000;1500;i" of a series, in one transaction.
inline bool insertValues(Database& user, qint32 series, int n) {
    return user.transaction([&] {
        for (int i = 0; i < n; ++i)
            if (!user.execute("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) "
                              "VALUES (?, 0, ?)",
                              {series, QString("%1;7000;1500;%1").arg(i)}))
                return false;
        return true;
    });
}

// A column of a series as text.
inline QString seriesText(Database& user, qint32 series, const QString& column) {
    return user.scalar("SELECT " + column + " FROM MessReihen WHERE MessReiheID = ?", {series})
        .toString();
}

} // namespace velmara::test
