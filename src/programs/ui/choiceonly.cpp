#include "programs/ui/choiceonly.h"

#include <QComboBox>
#include <QKeyEvent>

namespace velmara {

namespace {

class TypedKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->text().isEmpty() && key->text().at(0).isPrint())
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void ignoreTypedKeys(QComboBox* list) {
    list->installEventFilter(new TypedKeyFilter(list));
}

} // namespace velmara
