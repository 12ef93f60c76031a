#pragma once
// What the program editor tells the user when a check fails: a text key, or a
// limits message built from three text keys around the bounds of a limits row,
// and the control that takes the focus.
#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

namespace velmara {

using TextLookup = std::function<QString(const QString& key)>;

struct EditorMessage {
    QString focus; // objectName of the control that takes the focus
    QString key;   // a plain message: its text key
    // A limits message: text a, " ", min, text b, " ", max, text c.
    QString keyA, keyB, keyC;
    double min = 0;
    double max = 0;

    bool isLimits() const { return !keyA.isEmpty(); }
    QString text(const TextLookup& lookup, const QLocale& locale = QLocale()) const;
};

// nullopt: the check passed.
using CheckResult = std::optional<EditorMessage>;

} // namespace velmara
