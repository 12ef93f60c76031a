#pragma once
// frmKanalBearbeiten: one stored measurement series shown like a channel window,
// read anew from the user file whenever the window becomes active. Its controls
// carry the channel window's names, which the report printing reads.
#include "batteries/ui/batteriescontext.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmara {

class StoredSeriesWindow : public QWidget {
    Q_OBJECT
public:
    // context must outlive the window. The window deletes itself when closed.
    StoredSeriesWindow(const StoredSeriesSource& source,
                       std::shared_ptr<const BatteriesContext> context, QWidget* owner = nullptr);
    ~StoredSeriesWindow() override;

    const StoredSeriesSource& source() const { return m_source; }
    qint32 seriesId() const { return m_source.seriesId; }
    // Reads the series again and shows it; closes the window when the series is gone.
    void reload();
    // The program of the last read (batteryType -3: none).
    std::shared_ptr<ProgramRecord> program() const { return m_view.program; }
    // While a diagram of this window loads, no second one is opened: the flag is
    // up from the request until the hook reports the opening finished.
    bool diagramBusy() const { return m_diagramBusy; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void display(const StoredSeriesView& view);
    void openDiagram(qint32 endValueId);
    void onListDoubleClick(QListWidgetItem* item);

    StoredSeriesSource m_source;
    std::shared_ptr<const BatteriesContext> m_context;
    StoredSeriesView m_view;
    bool m_diagramBusy = false;
    bool m_closing = false;

    QGroupBox* m_frameMesswerte = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_mode = nullptr;
    QLineEdit* m_capacity = nullptr;
    QLineEdit* m_state = nullptr;
    QLineEdit* m_selfDischarge = nullptr;
    QLineEdit* m_remark = nullptr;
    QLabel* m_lblState = nullptr;
    QLabel* m_lblSelfDischarge = nullptr;
    QListWidget* m_charge = nullptr;
    QListWidget* m_discharge = nullptr;
};

} // namespace velmara
