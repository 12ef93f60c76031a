#pragma once
// dlgNeueMessreihe: the remark of a new measurement series.
#include "batteries/core/capturemodel.h"

#include <QDialog>

class QLineEdit;

namespace velmara {

class NewSeriesDialog : public QDialog {
    Q_OBJECT
public:
    NewSeriesDialog(const TextLookup& text, int maxSeriesRemark, QWidget* parent = nullptr);
    QString remark() const;

private:
    QLineEdit* m_remark;
};

} // namespace velmara
