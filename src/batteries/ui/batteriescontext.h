#pragma once
// What the battery and series windows need from the running program, handed in
// by their opener: the user file's stores, the texts, the log, the remark lengths and the
// ways to reach the diagram, the report and the program view.
#include "batteries/core/capturemodel.h"
#include "batteries/core/referencetexts.h"
#include "batteries/core/storedseries.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace velmara {

class Prompter;
class UserStores;

// What a stored-series window asks of the rest of the program. An empty
// function leaves its button disabled.
struct StoredSeriesHooks {
    // The window became active / closes (the main window's active form and print entry).
    std::function<void(QWidget* window)> activated;
    std::function<void(QWidget* window)> closed;
    // The diagram of the series: endValueId 0 draws the whole series, otherwise
    // the stretch that ends at that end value. finished is called once when the
    // opening has ended (shown, failed or replaced by a newer one).
    std::function<void(QWidget* window, qint32 seriesId, qint32 endValueId,
                       std::shared_ptr<ProgramRecord> program, std::function<void()> finished)>
        diagram;
    // The channel report of the window, without a diagram.
    std::function<void(QWidget* window, std::shared_ptr<ProgramRecord> program)> print;
    // The same report written into a PDF file.
    std::function<void(QWidget* window, std::shared_ptr<ProgramRecord> program)> exportPdf;
    // The used-program view of the stored program.
    std::function<void(std::shared_ptr<ProgramRecord> program)> showProgram;
};

struct BatteriesContext {
    UserStores* stores = nullptr; // the user file's stores (null: no user file)
    ReferenceTexts references;    // battery type and mode names (loadReferenceTexts)
    TextLookup text;              // text of a key in the current language
    QString language;             // the current language ("de", "en"): dates in its format
    LogFunction log;              // error-log entries (signature, entry)
    Prompter* prompter = nullptr; // boxes and modal dialogs; without one no dialog opens
    AskFunction ask;              // message boxes (default: the prompter's)
    int maxBatteryRemark = 255;   // setting MaxAkkuBemerkung; 0 or less: no limit
    int maxSeriesRemark = 255;    // setting MaxMessBemerkung
    StoredSeriesHooks hooks;
};

} // namespace velmara
