#pragma once
// The one diagram window of the program and how it is opened: the loading
// message, the window (reused while it is open), the sub-window of the main
// window's area it lives in, its size (remembered in the setting
// DiagramWindowSize), showing it in front with the focus, or closing it when its
// load fails. A newer opening replaces the load still running inside the same
// window; the replaced opening only learns that it ended.
//
// A diagram asked for from a window inside the main window's area (a channel)
// opens in that area. One asked for from a window of its own (a stored series of
// the management dialog) opens as a window of its own over the main window: the
// dialog and its windows always stay above the main window, so in the area it
// would open unseen behind them.
#include "charts/ui/diagramwindow.h"

#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;

namespace velmara {

inline const QString kDiagramWindowSizeKey = QStringLiteral("DiagramWindowSize");

// The size of a new diagram sub-window: the stored "WIDTHxHEIGHT" when it is one,
// else the whole area; never larger than the area, never smaller than minimum
// (unless the area itself is smaller).
QSize diagramWindowSize(const QString& stored, const QSize& area, const QSize& minimum);

class DiagramOpener : public QObject {
    Q_OBJECT
public:
    // area: the main window's area the diagram opens in; null: a window of its own.
    explicit DiagramOpener(QMdiArea* area = nullptr, QObject* parent = nullptr);
    ~DiagramOpener() override;

    // Starts an opening. done (optional) learns once whether the diagram was shown;
    // false also when a newer opening or closing the window ended this one. from:
    // the window that asks (null: as from inside the area).
    void open(const DiagramContext& context, const DiagramRequest& request,
              std::function<void(bool shown)> done = {}, const QWidget* from = nullptr);

    DiagramWindow* window() const { return m_window.data(); }
    QMdiSubWindow* subWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Opening;
    void show(DiagramWindow* window);
    void showInArea(DiagramWindow* window);
    void showOnItsOwn(DiagramWindow* window);
    QWidget* frame() const; // what the user sizes: the sub-window or the own window
    void rememberSize();

    QPointer<QMdiArea> m_area;
    QPointer<DiagramWindow> m_window;
    SettingsAccess m_settings;
    std::shared_ptr<Opening> m_current;
    bool m_onItsOwn = false; // where the latest opening shows the window
    bool m_placed = false;   // the own window has its size and place
};

} // namespace velmara
