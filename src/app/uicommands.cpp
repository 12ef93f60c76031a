#include "app/uicommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace velmara {

namespace {

// The object of that name and type: NAME, or WINDOW/NAME inside the window
// WINDOW. The dialog in front is searched first, then the visible windows.
template <class T> T* find(const QString& path) {
    const QString window =
        path.contains(QLatin1Char('/')) ? path.section(QLatin1Char('/'), 0, 0) : QString();
    const QString name = path.section(QLatin1Char('/'), -1);
    QList<QWidget*> tops;
    if (QWidget* modal = QApplication::activeModalWidget())
        tops << modal;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && !tops.contains(top))
            tops << top;
    for (QWidget* top : std::as_const(tops)) {
        QList<QWidget*> scopes{top};
        if (!window.isEmpty())
            scopes = top->objectName() == window ? QList<QWidget*>{top}
                                                 : top->findChildren<QWidget*>(window);
        for (QWidget* scope : std::as_const(scopes)) {
            if (auto* self = qobject_cast<T*>(scope); self && scope->objectName() == name)
                return self;
            for (T* object : scope->findChildren<T*>(name))
                if (auto* widget = qobject_cast<QWidget*>(object); !widget || widget->isVisible())
                    return object;
        }
    }
    return nullptr;
}

void run(const QString& line) {
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString name = line.section(QLatin1Char(' '), 1, 1);
    const QString rest = line.section(QLatin1Char(' '), 2);
    if (command == QLatin1String("click")) {
        if (auto* button = find<QAbstractButton>(name))
            button->click();
        else if (auto* action = find<QAction>(name))
            action->trigger();
    } else if (command == QLatin1String("settext")) {
        if (auto* edit = find<QLineEdit>(name))
            edit->setText(rest);
        else if (auto* text = find<QPlainTextEdit>(name))
            text->setPlainText(rest);
    } else if (command == QLatin1String("select") || command == QLatin1String("activate")) {
        const int row = rest.toInt();
        if (auto* table = find<QTableWidget>(name))
            table->selectRow(row);
        else if (auto* combo = find<QComboBox>(name))
            combo->setCurrentIndex(row);
        else if (auto* list = find<QListWidget>(name); list && list->item(row)) {
            list->setCurrentRow(row);
            if (command == QLatin1String("activate"))
                Q_EMIT list->itemDoubleClicked(list->item(row));
        }
    } else if (command == QLatin1String("answer")) {
        // A message box in front: "answer yes", "answer no", "answer ok".
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            const auto button = name == QLatin1String("yes")  ? QMessageBox::Yes
                                : name == QLatin1String("no") ? QMessageBox::No
                                                              : QMessageBox::Ok;
            if (QAbstractButton* b = box->button(button))
                b->click();
        }
    } else if (command == QLatin1String("tell")) {
        // A line on standard output: NAME, a tab, the text of the label NAME
        // while it is shown (nothing while it is not).
        const QLabel* label = find<QLabel>(name);
        std::printf("%s\t%s\n", qPrintable(name), label ? qPrintable(label->text()) : "");
        std::fflush(stdout);
    } else if (command == QLatin1String("accept") || command == QLatin1String("reject")) {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            command == QLatin1String("accept") ? dialog->accept() : dialog->reject();
    } else if (command == QLatin1String("close") || command == QLatin1String("raise")) {
        // Not from under a dialog or box that waits for an answer.
        QWidget* modal = QApplication::activeModalWidget();
        if (QWidget* window = find<QWidget>(name); window && (!modal || window == modal)) {
            QWidget* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())
                                 ? window->parentWidget()
                                 : window;
            if (command == QLatin1String("close"))
                frame->close();
            else {
                frame->show();
                frame->raise();
                frame->activateWindow();
            }
        }
    }
}

} // namespace

void startUiCommands(QObject* parent) {
    if (qEnvironmentVariable("VELMARA_UI_COMMANDS") != QLatin1String("1"))
        return;
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, parent);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, buffer] {
        char chunk[1024];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            notifier->setEnabled(false); // the script has gone
            return;
        }
        buffer->append(chunk, int(n));
        int end;
        while ((end = int(buffer->indexOf('\n'))) >= 0) {
            const QString line = QString::fromUtf8(buffer->left(end)).trimmed();
            buffer->remove(0, end + 1);
            // Each command from the event loop: one that opens a modal dialog
            // does not hold up the next one, which may answer that dialog.
            if (!line.isEmpty())
                QTimer::singleShot(0, notifier, [line] { run(line); });
        }
    });
}

} // namespace velmara
