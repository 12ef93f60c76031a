#pragma once
// dlgMesswerteErfassen: binds the capture dialog's controls to CaptureModel. In
// capture mode it belongs to one channel; in management mode it opens stored
// series and deletes series and batteries.
#include "batteries/core/batterystore.h"
#include "batteries/core/capturemodel.h"
#include "batteries/ui/batteriescontext.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace velmara {

class BatteryUsage;
class CaptureChannel;
class StoredSeriesWindow;

class CaptureDialog : public QDialog {
    Q_OBJECT
public:
    // channel: capture mode for that channel (it must outlive the dialog); null:
    // management mode. context->stores must be set.
    CaptureDialog(std::shared_ptr<const BatteriesContext> context,
                  std::shared_ptr<BatteryUsage> usage, CaptureChannel* channel,
                  QWidget* parent = nullptr);
    ~CaptureDialog() override;

    // Reads the batteries and the channel's state; false: do not show the dialog.
    bool initializeDialog();

    CaptureModel& model() { return *m_model; }
    // The stored-series windows opened from this dialog and still open.
    QList<StoredSeriesWindow*> seriesWindows() const;

private:
    void build();
    void refresh();
    void fillBatteries();
    void fillSeries();
    qint32 currentSeriesId() const;
    void onBatteryChosen(int index);
    void onNewBattery();
    void onNewSeries();
    void onEndCapture();
    void onShowSeries();
    void onDeleteSeries();
    void onDeleteBattery();
    void onHistory();
    void closeWindowsOf(qint32 seriesId);

    std::shared_ptr<const BatteriesContext> m_context;
    std::shared_ptr<BatteryUsage> m_usage;
    std::unique_ptr<BatteryStore> m_store;
    std::unique_ptr<CaptureModel> m_model;
    QList<QPointer<StoredSeriesWindow>> m_windows;
    bool m_filling = false;

    QComboBox* m_batteries = nullptr;
    QTableWidget* m_grid = nullptr;
    QGroupBox* m_frame = nullptr;
    QRadioButton* m_immediate = nullptr;
    QRadioButton* m_next = nullptr;
    QPushButton* m_newBattery = nullptr;
    QPushButton* m_newSeries = nullptr;
    QPushButton* m_end = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_showSeries = nullptr;
    QPushButton* m_deleteSeries = nullptr;
    QPushButton* m_deleteBattery = nullptr;
    QPushButton* m_history = nullptr; // cmdVerlauf: the battery's capacity history
    QLabel* m_captureLabel = nullptr;
    QLabel* m_managementLabel = nullptr;
};

} // namespace velmara
