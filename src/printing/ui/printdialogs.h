#pragma once
// The three small dialogs of report printing: the remark asked before every
// full report (dlgBemerkung), the sub-title of the printouts (dlgSubTitle) and
// the head height and date switch (dlgPrintSettings).
#include "base/core/messages.h"
#include "printing/core/reportdata.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace velmara {

using TextOf = std::function<QString(const QString& key)>;
using SettingStore = std::function<void(const QString& key, const QString& value)>;

class RemarkDialog : public QDialog {
    Q_OBJECT
public:
    RemarkDialog(const TextOf& text, QWidget* parent = nullptr);
    // The remark typed (lines end with a line feed).
    QString remark() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_text;
};

class SubTitleDialog : public QDialog {
    Q_OBJECT
public:
    SubTitleDialog(const TextOf& text, const SettingLookup& get, const SettingStore& set,
                   QWidget* parent = nullptr);
    void accept() override; // stores PrintingSubTitle

private:
    SettingStore m_set;
    QLineEdit* m_subTitle;
};

class PrintSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The prompter shows the box of a height that is no number.
    PrintSettingsDialog(const TextOf& text, Prompter& prompter, const SettingLookup& get,
                        const SettingStore& set, const QLocale& locale = QLocale(),
                        QWidget* parent = nullptr);
    // Stores the date switch; stores the head height and closes only when it is a number.
    void accept() override;

private:
    void tell(const char* textKey);

    TextOf m_text;
    Prompter& m_prompter;
    SettingStore m_set;
    QLocale m_locale;
    QLineEdit* m_height;
    QCheckBox* m_showDate;
};

} // namespace velmara
