#pragma once
// dlgImport: the battery an imported series goes to, an existing one or a new
// one by name (the name in the file is offered).
#include "batteries/core/batterystore.h"
#include "exchange/core/seriesexchange.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace velmara {

class SeriesImportDialog : public QDialog {
    Q_OBJECT
public:
    SeriesImportDialog(BatteryStore& store, const QString& nameInFile,
                       const std::function<QString(const QString&)>& text,
                       QWidget* parent = nullptr);
    ImportTarget target() const;

private:
    QRadioButton* m_existing = nullptr;
    QRadioButton* m_new = nullptr;
    QComboBox* m_battery = nullptr;
    QLineEdit* m_name = nullptr;
};

} // namespace velmara
