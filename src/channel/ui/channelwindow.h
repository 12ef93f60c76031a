#pragma once
// The window of one charger channel (frmKanal, frmKanal2 .. frmKanal4): binds
// its boxes, lists and buttons to the channel's poll cycle and recording.
#include "channel/core/channelcontroller.h"
#include "channel/core/channeldisplay.h"
#include "channel/core/channelsnapshot.h"
#include "channel/ui/channelwindowhost.h"

#include <QHash>
#include <QList>
#include <QWidget>

#include <memory>
#include <utility>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace velmara {

class ChannelBoard;
class LiveCurveChart;
class Session;

// How a channel window lays out its controls: under each other, or for a low
// and wide window the state and the end values next to each other.
enum class ChannelLayout { Column, Row };

class ChannelWindow : public QWidget, public ChannelView, public ChannelDisplay {
    Q_OBJECT
public:
    // The window of a channel that runs on the board: it shows what the channel
    // shows and follows it. main may be null (tests): then activation and the
    // menu check mark are left alone (kept by the window when given with adoptHost).
    // The session gives the texts, settings, files and prompter.
    ChannelWindow(Session& session, ChannelBoard& board, ChannelCode code,
                  ChannelWindowHost* main = nullptr, QWidget* parent = nullptr);
    ~ChannelWindow() override;

    ChannelController& controller() const;
    // The program button: the channel's program editor.
    void openProgram();
    // The capture button (the battery and series dialog of the channel), the
    // diagram button and the double-click on an end value: they need the main window.
    void openCapture();
    void openDiagram();
    void openEndValueDiagram(QListWidgetItem* item);
    // The print button: the channel report of this window (needs the main window).
    void printReport();
    void printReportTo(bool toPdf);
    void adoptHost(std::unique_ptr<ChannelWindowHost> host) { m_ownedHost = std::move(host); }

    // ChannelView
    QWidget* widget() override { return this; }
    QString channelCode() const override { return m_code; }
    bool releaseBattery(qint32 id) override { return controller().releaseBattery(id); }
    bool isBatteryUsed(qint32 id) override { return controller().isBatteryUsed(id); }
    std::pair<qint32, qint32> recordedSeries() const override {
        if (!controller().isRecording())
            return {-1, -1};
        return {controller().batteryId(), controller().seriesId()};
    }

    // ChannelDisplay
    void setText(ChannelField field, const QString& text) override;
    QString text(ChannelField field) const override;
    void setVisible(ChannelField field, bool visible) override;
    using QWidget::setVisible;
    void setHeartbeat(bool lit) override;
    void setFaultState(bool fault) override;
    void setEndValueLines(const QList<EndValueDisplayLine>& laden,
                          const QList<EndValueDisplayLine>& entladen) override;
    void setStorageWarning(const QString& text) override;
    void setValuesStale(bool stale) override;
    void reportFault(qint16 faultCode, const Message& box) override;

    // The live curve pane (cmdKurve opens and closes it).
    void showLiveCurve(bool show);
    LiveCurveChart* liveCurve() const { return m_live; }
    ChannelLayout channelLayout() const { return m_layout; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct EndValueBlock {
        QLabel* title = nullptr;
        QLabel* heading = nullptr;
        QListWidget* list = nullptr;
    };
    void buildControls();
    QLabel* label(QWidget* parent, const char* name, const char* key);
    QPushButton* button(QWidget* parent, const char* name, const char* key);
    void arrange(ChannelLayout layout);
    ChannelLayout layoutFor(QSize size) const;
    void shareHeight();
    void placeCurveFault();
    void startDiagram(qint32 series, qint32 endValueId);
    void setCaptions();
    // A new reading of the channel goes onto the live curve.
    void follow(const ChannelSnapshot& snapshot);
    QLineEdit* box(ChannelField field) const;

    Session& m_session;
    ChannelBoard& m_board;
    QString m_code;
    ChannelWindowHost* m_main;
    std::unique_ptr<ChannelWindowHost> m_ownedHost;
    int m_readings = 0; // the readings of the channel the window has seen
    QHash<int, QLineEdit*> m_boxes;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QGridLayout* m_top = nullptr;
    QWidget* m_buttons = nullptr;
    QGridLayout* m_buttonGrid = nullptr;
    QGroupBox* m_frameProgram = nullptr;
    QGridLayout* m_mv = nullptr;
    QGridLayout* m_statusGrid = nullptr;
    QList<std::pair<QWidget*, QWidget*>> m_statusRows; // label, value
    QGridLayout* m_remarks = nullptr;
    EndValueBlock m_laden;
    EndValueBlock m_entladen;
    ChannelLayout m_layout = ChannelLayout::Column;
    int m_columnMinWidth = 0;
    QGroupBox* m_frameAkkumesswerte = nullptr;
    QGroupBox* m_frameStatus = nullptr;
    QLabel* m_lblAkkuzustand = nullptr;
    QLabel* m_lblSelbstentladung = nullptr;
    QLabel* m_lblNotStored = nullptr;
    // A fault: the state told in full (wrapped, with its sign) in place of the
    // state box, and marked on the live curve.
    QWidget* m_faultPane = nullptr;
    QLabel* m_faultText = nullptr;
    QWidget* m_curveFault = nullptr;
    QLabel* m_curveFaultText = nullptr;
    bool m_fault = false;
    qint16 m_faultShown = 0; // the fault whose box this episode has shown
    QListWidget* m_lstLaden = nullptr;
    QListWidget* m_lstEntladen = nullptr;
    QObject* m_watchedSub = nullptr;
    QToolButton* m_curveToggle = nullptr;
    LiveCurveChart* m_live = nullptr;
    int m_grownBy = 0; // how much the open curve made the sub-window grow
    static constexpr int kLiveCurveHeight = 160;
    static constexpr int kValuesRow = 3;
    static constexpr int kCurveRow = 4;
};

} // namespace velmara
