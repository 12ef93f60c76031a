#pragma once
// dlgExport: which series to export (one, or all of a battery) and the
// separator of the file.
#include "batteries/core/batterystore.h"
#include "exchange/core/seriescsv.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;

namespace velmara {

class SeriesExportDialog : public QDialog {
    Q_OBJECT
public:
    // language: the program's ("de", "en"), for the series' dates.
    SeriesExportDialog(BatteryStore& store, const std::function<QString(const QString&)>& text,
                       const QString& language, QWidget* parent = nullptr);

    // The chosen series (all of the battery when "all" is checked), empty when none.
    QVector<qint32> chosenSeries() const;
    bool allOfBattery() const;
    SeparatorChoice separator() const;
    QString batteryName() const;

private:
    void fillSeries();

    BatteryStore& m_store;
    QString m_language;
    QVector<BatteryRow> m_batteries;
    QVector<SeriesRow> m_series;
    QComboBox* m_battery = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_all = nullptr;
    QComboBox* m_separator = nullptr;
};

} // namespace velmara
