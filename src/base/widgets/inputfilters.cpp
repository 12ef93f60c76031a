#include "base/widgets/inputfilters.h"

#include "base/core/formatting.h"

#include <QLineEdit>

#include <functional>

namespace velmara {

namespace {

const char* const kAccepted = "velmaraAcceptedText";

void attach(QLineEdit* edit, std::function<QString(const QString&, const QString&)> filter) {
    edit->setProperty(kAccepted, edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, filter](const QString& text) {
        const QString previous = edit->property(kAccepted).toString();
        const QString kept = filter(previous, text);
        if (kept == text) {
            edit->setProperty(kAccepted, text);
            return;
        }
        // Take the keystroke back and leave the caret where it was before it.
        const int caret = edit->cursorPosition() - int(text.size() - kept.size());
        edit->setText(kept);
        edit->setCursorPosition(qBound(0, caret, int(kept.size())));
    });
}

} // namespace

void attachDecimalFilter(QLineEdit* edit) {
    attach(edit, [](const QString& previous, const QString& current) {
        return filterDecimalInput(previous, current);
    });
}

void attachIntegerFilter(QLineEdit* edit) {
    attach(edit, &filterIntegerInput);
}

} // namespace velmara
