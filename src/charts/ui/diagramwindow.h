#pragma once
// The diagram window frmDiagramm: the curves of one series over minutes, the
// three curve check boxes, the options, printing and closing. Loading runs a
// chunk of rows at a time from the event loop, so the channel windows keep
// polling while a long series loads. The rules live in charts/core.
#include "charts/core/diagramaxes.h"
#include "charts/core/diagramload.h"
#include "charts/ui/diagramcontext.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace velmara {

class DiagramChart;

class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    explicit DiagramWindow(DiagramContext context, QWidget* parent = nullptr);
    ~DiagramWindow() override;

    // Starts loading the series (a load still running is dropped); loadFinished
    // tells the outcome. Too few values show "0848"; a database error is reported.
    void startLoad(const DiagramRequest& request);
    bool isLoading() const { return m_load != nullptr; }
    const DiagramRequest& request() const { return m_request; }

    // Called by the options dialog.
    void refreshMinMaxStatLines();
    void refreshGrids();
    void refreshXYRanges(const AxisRange& yAx, const AxisRange& xAx);

    const DiagramAxes& axes() const { return m_axes; }
    DiagramChart* chart() const { return m_chart; }
    const DiagramContext& context() const { return m_context; }

    // The buttons' work, also reachable without a click.
    void openOptions();
    void printReport(bool diagramOnly, bool toPdf = false);
    void saveChart(bool pdf);
    // OK: closes the window, and the main window's sub-window it lives in.
    void closeWindow();
    // The title of saved pictures: what the diagram shows (battery and series, or channel).
    void setTitle(const QString& title) { m_title = title; }

Q_SIGNALS:
    void loadFinished(bool ok);
    // A load was dropped for a newer one, or by closing the window.
    void loadAbandoned();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void applyCaptions();
    void loadStep(quint64 generation);
    void finishLoad(DiagramLoad::State state);
    void onCurveBox(Curve c, bool checked);
    void syncBoxesAndChart();
    void layoutControls();
    QCheckBox* boxOf(Curve c) const;

    DiagramContext m_context;
    DiagramRequest m_request;
    DiagramAxes m_axes;
    std::unique_ptr<DiagramLoad> m_load;
    quint64 m_generation = 0;
    QString m_title;

    QGroupBox* m_frmAnsicht = nullptr;
    QFrame* m_frmCheckBoxes = nullptr;
    QFrame* m_frmButtons = nullptr;
    QCheckBox* m_chkSpannung = nullptr;
    QCheckBox* m_chkStrom = nullptr;
    QCheckBox* m_chkKapazitaet = nullptr;
    QPushButton* m_cmdEinstellungen = nullptr;
    QPushButton* m_cmdPrint = nullptr;
    QPushButton* m_cmdPrintDiagram = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QLabel* m_lblCursor = nullptr;
    QLabel* m_lblLoading = nullptr;
    QLabel* m_printPicture = nullptr;
    DiagramChart* m_chart = nullptr;
};

} // namespace velmara
