#pragma once
// How a battery ages: every series with its date and capacities as a table, and
// the capacities over time as a chart with the nominal capacity as a reference
// line. Opened from the management dialog; not modal, deleted when closed.
#include "batteries/core/batteryhistory.h"

#include <QWidget>

#include <functional>

class QCustomPlot;
class QTableWidget;

namespace velmara {

class UserStores;

class BatteryHistoryWindow : public QWidget {
    Q_OBJECT
public:
    // language: the program's language, which decides the date format.
    BatteryHistoryWindow(UserStores& stores, qint32 batteryId,
                         std::function<QString(const QString&)> text, QWidget* parent = nullptr,
                         const QString& language = QString());

    // Reads the history anew and fills table and chart.
    void reload();
    const BatteryHistory& history() const { return m_history; }
    QTableWidget* table() const { return m_table; }
    QCustomPlot* chart() const { return m_chart; }

private:
    void fillTable();
    void fillChart();

    UserStores& m_stores;
    qint32 m_batteryId;
    std::function<QString(const QString&)> m_text;
    QString m_language;
    BatteryHistory m_history;
    QTableWidget* m_table = nullptr;
    QCustomPlot* m_chart = nullptr;
};

// Opens the window of one battery as a top-level window owned by parent.
// Esc closes it.
BatteryHistoryWindow* openBatteryHistoryWindow(UserStores& stores, qint32 batteryId,
                                               std::function<QString(const QString&)> text,
                                               QWidget* parent,
                                               const QString& language = QString());

} // namespace velmara
