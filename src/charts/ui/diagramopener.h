#pragma once
// The one diagram window of the program and how it is opened: the loading
// message, the window (reused while it is open), the sub-window of the main
// window's area it lives in, its size (remembered in the setting
// DiagramWindowSize), showing it in front with the focus, or closing it when its
// load fails. A newer opening replaces the load still running inside the same
// window and sub-window; the replaced opening only learns that it ended.
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
    // false also when a newer opening or closing the window ended this one.
    void open(const DiagramContext& context, const DiagramRequest& request,
              std::function<void(bool shown)> done = {});

    DiagramWindow* window() const { return m_window.data(); }
    QMdiSubWindow* subWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Opening;
    void show(DiagramWindow* window);
    void rememberSize();

    QPointer<QMdiArea> m_area;
    QPointer<DiagramWindow> m_window;
    SettingsAccess m_settings;
    std::shared_ptr<Opening> m_current;
};

} // namespace velmara
