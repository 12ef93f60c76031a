#pragma once
// What the editor's buttons do: send to the channel or to all channels, fetch
// from the charger, the named-program library, and a program that the charger
// reports while the editor is open. It shows no boxes itself: it hands what
// it tells or asks to the callbacks the dialog gives it.
#include "base/core/messages.h"
#include "programs/core/editormessage.h"
#include "programs/core/programoptions.h"
#include "programs/core/programtransfer.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace velmara {

class ProgramEditorModel;
class ProgramLibrary;
class ProgramLine;

// A box the editor shows: text and title as text keys ("" title: none).
struct EditorQuestion {
    QString textKey;
    QString titleKey;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// What a transfer is doing, for the line the editor shows meanwhile.
struct TransferProgress {
    enum Step {
        Fetching, // a request for the channel's program is out or waits for the line
        Sending,  // a program text is out or waits for the line
        Stopping, // stop asked: the transfer ends when the request out now is answered
        Stopped,  // the transfer ended on the user's request
    } step = Fetching;
    QString channel; // "001" .. "004"
    int attempt = 0; // 1 .. TransferAttempts
};

// The line's text: "Sending the program to channel 3: attempt 2 of 3 ...".
QString transferProgressText(const TransferProgress& progress, const TextLookup& text);

class ProgramEditorSession {
public:
    ProgramEditorSession(ProgramEditorModel& model, const ProgramOptions& options,
                         ProgramLine* line, ProgramLibrary* library);

    // The channel code "001" .. "004" the editor works for.
    QString channel;
    // Channels that took a new program: their windows start anew.
    std::function<void(const QStringList& channels)> resetChannels;
    // A check failed: the control with this objectName takes the focus.
    std::function<void(const QString& objectName)> focusControl;
    // The name dialog: the name typed, "" when cancelled.
    std::function<QString()> askProgramName;
    // A check failed: its message is shown (before the focus moves).
    std::function<void(const EditorMessage& message)> showCheck;
    // Shows a box and returns the answer. Unset: the safe answer (Ok for an
    // OK box, Cancel / No for a question).
    std::function<MsgAnswer(const EditorQuestion& question)> ask;
    // The library could not store the program: the engine's reason.
    std::function<void(const QString& reason)> saveFailed;
    // The library could not delete the program: the engine's reason ("" when
    // the program was no longer there).
    std::function<void(const QString& reason)> deleteFailed;
    // Each step of a transfer, from the first request to a stop.
    std::function<void(const TransferProgress& progress)> transferProgress;

    ProgramEditorSession(const ProgramEditorSession&) = delete;
    ProgramEditorSession& operator=(const ProgramEditorSession&) = delete;
    ~ProgramEditorSession();

    // The transfers await the charger. Each answers true when the dialog is to
    // close; a session destroyed meanwhile answers false and does nothing more.
    QCoro::Task<bool> send();
    QCoro::Task<bool> sendToAll();
    // True when the model shows another program afterwards.
    QCoro::Task<bool> fetch();
    // A transfer awaits the charger: the dialog stays open until it has ended.
    bool transferring() const { return m_transfers > 0; }
    // Called when a transfer starts (true) and when it has ended (false).
    std::function<void(bool busy)> transferStateChanged;
    // Ends the running transfer before its next request; the request on the
    // line now is answered first (a send it brings through still counts).
    void stopTransfer();

    // Shows a record in the model. A record without an extended block starts
    // from the default end of charge (the charger sent none).
    void showProgram(ProgramRecord program);
    bool loadStored(qint64 id);
    bool programChangedFromOutside(const ProgramRecord& reported);

    // True when the library changed.
    bool saveAs();
    bool deleteSelected();

    // checkBeforeTransfer with its message and focus; true when it passed.
    bool checkBeforeTransfer();

private:
    class Transfer;
    MsgAnswer askUser(const QString& textKey, const QString& titleKey = QString(),
                      MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);
    bool confirmSend();
    TransferWatch watch(TransferProgress::Step step);
    void report(TransferProgress::Step step, const QString& channel = QString(), int attempt = 0);

    ProgramEditorModel& m_model;
    ProgramOptions m_options;
    ProgramLine* m_line;
    ProgramLibrary* m_library;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    int m_transfers = 0;
    bool m_stopAsked = false;
};

} // namespace velmara
