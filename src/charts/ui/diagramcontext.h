#pragma once
// What a diagram window needs from the running program, handed in by whoever
// opens it: the store of the values, the DiagramPoints rows, the settings store, the text
// lookup and the hooks for printing, saving and logging.
#include "base/core/messages.h"
#include "charts/core/diagramsettings.h"
#include "charts/core/thinning.h"

#include <QPixmap>
#include <QString>
#include <QVector>

#include <functional>

namespace velmara {

class DiagramWindow;
class ValueStore;

struct DiagramContext {
    ValueStore* values = nullptr;
    QVector<DiagramPointsRow> diagramPoints;
    SettingsAccess settings;
    // The text of a four-digit key in the current language.
    std::function<QString(const QString& key)> text;
    // Starts the report printing with the captured window (diagramOnly: cmdPrintDiagram;
    // toPdf: into a PDF file instead of the printer).
    std::function<void(DiagramWindow* window, const QPixmap& picture, bool diagramOnly, bool toPdf)>
        print;
    // Asks for a file to save the chart into (filter e.g. "PNG (*.png)"); empty: cancelled.
    std::function<QString(const QString& filter)> askSavePath;
    // A diagnostic line for the error log.
    std::function<void(const QString& entry)> log;
    // Called with true when the window becomes active and with false when it
    // closes (the main window's print entries print the active window's report).
    std::function<void(DiagramWindow* window, bool active)> printItemChanged;
    // Rows read per step while loading; the user interface runs between steps.
    int chunkRows = 50000;
    // Shows the boxes and runs the options dialog; without one neither is shown.
    Prompter* prompter = nullptr;

    QString tr(const QString& key) const { return text ? text(key) : key; }
    // A box whose text and title are text keys, through the prompter.
    void tell(const QString& textKey, const QString& titleKey, MsgIcon icon) const {
        Message m;
        m.key = textKey;
        m.text = tr(textKey);
        m.title = tr(titleKey);
        m.icon = icon;
        if (prompter)
            prompter->show(m);
    }
};

} // namespace velmara
