#include "programs/core/programeditorsession.h"

#include "link/communicationprogram.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programtext.h"
#include "programs/core/programtransfer.h"
#include "shell/core/messages.h"
#include "shell/core/programresources.h"
#include "shell/core/velmaralog.h"

namespace velmara {

ProgramEditorSession::ProgramEditorSession(ProgramEditorModel& model, const ProgramOptions& options,
                                           ProgramLine* line, ProgramLibrary* library)
    : m_model(model), m_options(options), m_line(line), m_library(library) {}

void ProgramEditorSession::show(const EditorMessage& m) {
    if (m.isLimits()) {
        Message box;
        box.text = m.text(&res, m_model.locale());
        box.key = m.keyA;
        showMessage(box);
    } else {
        showKeyed(m.key, QString());
    }
    if (focusControl && !m.focus.isEmpty())
        focusControl(m.focus);
}

bool ProgramEditorSession::checkBeforeTransfer() {
    if (const CheckResult r = m_model.checkBeforeTransfer()) {
        show(*r);
        return false;
    }
    return true;
}

bool ProgramEditorSession::confirmSend() {
    return checkBeforeTransfer() && showKeyed(QStringLiteral("0980"), QString(), MsgIcon::None,
                                              MsgButtons::OkCancel) == MsgAnswer::Ok;
}

bool ProgramEditorSession::send() {
    if (!m_line || !confirmSend())
        return false;
    const QString text = buildProgramString(m_model, channel, m_options);
    if (!sendProgramText(*m_line, text, m_options.extensionAvailable)) {
        showKeyed(QStringLiteral("0976"), QString());
        return false;
    }
    if (resetChannels)
        resetChannels({channel});
    return true;
}

bool ProgramEditorSession::sendToAll() {
    if (!m_line || !confirmSend())
        return false;
    const SendAllResult r = sendToAllChannels(
        *m_line, [this](const QString& ch) { return buildProgramString(m_model, ch, m_options); },
        m_options.extensionAvailable);
    // The channels that took the program run it now, whether or not the others did.
    if (resetChannels && !r.accepted.isEmpty())
        resetChannels(r.accepted);
    if (!r.ok()) {
        showKeyed(QStringLiteral("0976"), QString());
        return false;
    }
    return true;
}

bool ProgramEditorSession::fetch() {
    if (!m_line)
        return false;
    const FetchResult r = fetchProgram(*m_line, channel);
    switch (r.outcome) {
    case FetchResult::NoAnswer:
        showKeyed(r.messageKey(), QString());
        return false;
    case FetchResult::NoProgram:
        showKeyed(r.messageKey(), QStringLiteral("0410"), MsgIcon::Information);
        return false;
    case FetchResult::Fetched:
        break;
    }
    m_model.setProgram(r.program);
    m_model.initFromProgram();
    m_model.clearProgramSelection();
    return true;
}

bool ProgramEditorSession::loadStored(qint64 id) {
    if (id < 0 || !m_library) {
        m_model.clearProgramSelection();
        return false;
    }
    const StoredProgram stored = m_library->byId(id);
    if (stored.id < 0) {
        m_model.clearProgramSelection();
        return false;
    }
    CommunicationProgram p;
    QString text = stored.text;
    p.splitRecievedString(text, false);
    m_model.setProgram(p);
    m_model.initFromProgram();
    m_model.setStoredProgramId(id);
    return true;
}

bool ProgramEditorSession::programChangedFromOutside(const CommunicationProgram& reported) {
    if (showKeyed(QStringLiteral("0996"), QString(), MsgIcon::None, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return false;
    m_model.setProgram(reported);
    m_model.initFromProgram();
    return true;
}

bool ProgramEditorSession::saveAs() {
    if (!m_library || !checkBeforeTransfer() || !askProgramName)
        return false;
    const QString name = askProgramName().trimmed();
    if (name.isEmpty())
        return false;
    const QString text = buildProgramString(m_model, channel, m_options);
    const auto r = m_library->save(name, text, [] {
        return showKeyed(QStringLiteral("0992"), QStringLiteral("0110"), MsgIcon::Question,
                         MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    switch (r.outcome) {
    case ProgramLibrary::SaveOutcome::Inserted:
    case ProgramLibrary::SaveOutcome::Overwritten:
        m_model.setStoredProgramId(r.id);
        return true;
    case ProgramLibrary::SaveOutcome::Failed: {
        VelmaraLog::instance().writeLogEntry(QStringLiteral("Programme: ") +
                                             m_library->lastError());
        Message box;
        box.text = QStringLiteral("Fehler");
        box.icon = MsgIcon::Critical;
        showMessage(box);
        return false;
    }
    case ProgramLibrary::SaveOutcome::Kept:
    case ProgramLibrary::SaveOutcome::NoName:
        return false;
    }
    return false;
}

bool ProgramEditorSession::deleteSelected() {
    const qint64 id = m_model.storedProgramId();
    if (!m_library || id < 0)
        return false;
    if (showKeyed(QStringLiteral("0994"), QStringLiteral("0110"), MsgIcon::None,
                  MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    const bool removed = m_library->remove(id);
    m_model.clearProgramSelection();
    return removed;
}

} // namespace velmara
