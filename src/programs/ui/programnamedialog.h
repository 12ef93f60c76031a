#pragma once
// Asks for the name a program is stored under, beside the names stored so far.
#include <QDialog>

class QLineEdit;
class QListWidget;

namespace velmara {

class Session;

class ProgramNameDialog : public QDialog {
    Q_OBJECT
public:
    ProgramNameDialog(const QStringList& storedNames, Session& session, QWidget* parent = nullptr);
    // The name typed, without surrounding blanks.
    QString name() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QListWidget* m_names;
    QLineEdit* m_name;
};

// Runs the dialog modally: the name, or "" when it was cancelled.
QString askProgramName(const QStringList& storedNames, Session& session, QWidget* parent);

} // namespace velmara
