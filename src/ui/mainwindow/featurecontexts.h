#pragma once
// What the feature windows get from the main window: the context of the
// battery and series windows, of the export and import of series, and the one
// diagram window with the context each opening hands it.
#include "printing/core/reportdata.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QMdiArea;

namespace velmara {

class DiagramOpener;
class DiagramWindow;
class PrintEntries;
class ProgramRecord;
class Session;
struct BatteriesContext;
struct ExchangeContext;

class FeatureContexts {
public:
    // window: the main window (parent of the dialogs), area: its MDI area.
    FeatureContexts(Session& session, PrintEntries& printing, QWidget* window, QMdiArea* area);
    ~FeatureContexts();

    // The battery and series windows' view of the running program (made once).
    std::shared_ptr<const BatteriesContext> batteriesContext();
    // What the export and import of series need (file pickers through the seam).
    ExchangeContext exchangeContext();
    // Opens (or reuses) the one diagram window on a series of the temporary
    // (channel windows) or permanent table (stored-series windows); endValueId 0
    // draws the whole series. done learns whether the diagram was shown.
    // caller and program: the window that opened the diagram and its program,
    // printed on the diagram window's report.
    void openDiagram(bool temporary, qint32 seriesId, qint32 endValueId,
                     const std::function<void(bool shown)>& done = {}, QWidget* caller = nullptr,
                     std::function<const ProgramRecord*()> program = {});
    DiagramWindow* diagramWindow() const;

private:
    Session& m_session;
    PrintEntries& m_printing;
    QPointer<QWidget> m_window;
    DiagramOpener* m_diagramOpener = nullptr;
    // The window that opened the diagram, and its program.
    // What the report needs of the caller is kept, so the report still prints
    // after the caller was closed.
    QPointer<QWidget> m_diagramCaller;
    ReportWindowData m_diagramCallerData;
    std::function<const ProgramRecord*()> m_diagramProgram;
    std::shared_ptr<const BatteriesContext> m_batteriesContext;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace velmara
