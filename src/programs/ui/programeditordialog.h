#pragma once
// The program editor of a channel: the program's fields, the named-program
// library, sending to the channel or to all channels, fetching from the
// charger, and the extended settings.
#include "link/programrecord.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programeditorsession.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programoptions.h"
#include "programs/core/programreference.h"
#include "programs/core/programtransfer.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace velmara {

class ProgramFieldsWidget;
class Session;

// What the editor needs from its surroundings.
struct ProgramEditorSetup {
    QString channel;            // "001" .. "004"
    ProgramRecord program;      // the channel's program
    ProgramReference reference; // rows of the charger family in use
    ProgramOptions options;
    ProgramLine* line = nullptr;      // the charger
    ProgramStore* programs = nullptr; // the program library (null: no user file)
    std::function<void(const QStringList& channels)> resetChannels;
    QLocale locale;
};

class ProgramEditorDialog : public QDialog {
    Q_OBJECT
public:
    ProgramEditorDialog(Session& session, ProgramEditorSetup setup, QWidget* parent = nullptr);
    ~ProgramEditorDialog() override;

    ProgramEditorModel& model() { return *m_model; }
    // The charger reports another program on the channel while the editor is open.
    void programChangedFromOutside(const ProgramRecord& reported);

    // While a transfer awaits the charger the dialog stays open and its controls
    // are off but Cancel: Cancel, Esc and the close button stop the transfer
    // once the request on the line is answered, and the dialog stays open.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showTransferring(bool busy);
    void fillLibraryList();
    void refresh();
    void openExtended();

    Session& m_session;
    ProgramEditorSetup m_setup;
    std::unique_ptr<ProgramEditorModel> m_model;
    std::unique_ptr<ProgramLibrary> m_library;
    std::unique_ptr<ProgramEditorSession> m_editor;
    ProgramFieldsWidget* m_fields;
    QComboBox* m_stored;
    QPushButton* m_delete;
    QPushButton* m_cancel;
    QLabel* m_progress; // what a transfer is doing
    bool m_stopped = false;
};

} // namespace velmara
