#pragma once
// dlgNeuerAkku: name and remark of a new battery and the remark of its first series.
#include "batteries/core/capturemodel.h"

#include <QDialog>

class QLineEdit;

namespace velmara {

class NewBatteryDialog : public QDialog {
    Q_OBJECT
public:
    // acceptName: the name check; it shows its own message when it refuses.
    NewBatteryDialog(const TextLookup& text, int maxBatteryRemark, int maxSeriesRemark,
                     std::function<bool(const QString&)> acceptName, QWidget* parent = nullptr);

    QString name() const;
    QString batteryRemark() const;
    QString seriesRemark() const;

private:
    void confirm();

    std::function<bool(const QString&)> m_acceptName;
    QLineEdit* m_name;
    QLineEdit* m_batteryRemark;
    QLineEdit* m_seriesRemark;
};

} // namespace velmara
