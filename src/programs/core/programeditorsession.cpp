#include "programs/core/programeditorsession.h"

#include "link/chargermodel.h"
#include "link/programrecord.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programtext.h"
#include "programs/core/programtransfer.h"

#include <QHash>

namespace velmara {

ProgramEditorSession::ProgramEditorSession(ProgramEditorModel& model, const ProgramOptions& options,
                                           ProgramLine* line, ProgramLibrary* library)
    : m_model(model), m_options(options), m_line(line), m_library(library) {}

ProgramEditorSession::~ProgramEditorSession() {
    *m_alive = false;
}

// Marks one transfer from its start to its end, also when it ends early.
class ProgramEditorSession::Transfer {
public:
    explicit Transfer(ProgramEditorSession& s) : m_session(s), m_alive(s.m_alive) {
        if (m_session.m_transfers++ == 0 && m_session.transferStateChanged)
            m_session.transferStateChanged(true);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer() {
        if (*m_alive && --m_session.m_transfers == 0 && m_session.transferStateChanged)
            m_session.transferStateChanged(false);
    }

private:
    ProgramEditorSession& m_session;
    std::shared_ptr<bool> m_alive;
};

MsgAnswer ProgramEditorSession::askUser(const QString& textKey, const QString& titleKey,
                                        MsgIcon icon, MsgButtons buttons) {
    return ask ? ask(EditorQuestion{textKey, titleKey, icon, buttons}) : safeAnswer(buttons);
}

bool ProgramEditorSession::checkBeforeTransfer() {
    if (const CheckResult r = m_model.checkBeforeTransfer()) {
        if (showCheck)
            showCheck(*r);
        if (focusControl && !r->focus.isEmpty())
            focusControl(r->focus);
        return false;
    }
    return true;
}

bool ProgramEditorSession::confirmSend() {
    return checkBeforeTransfer() && askUser(QStringLiteral("0980"), QString(), MsgIcon::None,
                                            MsgButtons::OkCancel) == MsgAnswer::Ok;
}

QCoro::Task<bool> ProgramEditorSession::send() {
    if (!m_line || m_transfers > 0 || !confirmSend())
        co_return false;
    const auto alive = m_alive;
    const Transfer transfer(*this);
    const QString text = buildProgramString(m_model, channel, m_options);
    const bool sent = co_await sendProgramText(*m_line, text, m_options.extensionAvailable);
    if (!*alive)
        co_return false;
    if (!sent) {
        askUser(QStringLiteral("0976"));
        co_return false;
    }
    if (resetChannels)
        resetChannels({channel});
    co_return true;
}

QCoro::Task<bool> ProgramEditorSession::sendToAll() {
    if (!m_line || m_transfers > 0 || !confirmSend())
        co_return false;
    const auto alive = m_alive;
    const Transfer transfer(*this);
    // The texts are built before the first one goes out: the fields cannot
    // change while the transfer runs, and the model is left alone meanwhile.
    QHash<QString, QString> texts;
    for (const QString& ch : allChannelCodes())
        texts.insert(ch, buildProgramString(m_model, ch, m_options));
    const std::function<QString(const QString&)> textFor = [texts](const QString& ch) {
        return texts.value(ch);
    };
    const SendAllResult r =
        co_await sendToAllChannels(*m_line, textFor, m_options.extensionAvailable);
    if (!*alive)
        co_return false;
    // The channels that took the program run it now, whether or not the others did.
    if (resetChannels && !r.accepted.isEmpty())
        resetChannels(r.accepted);
    if (!r.ok()) {
        askUser(QStringLiteral("0976"));
        co_return false;
    }
    co_return true;
}

QCoro::Task<bool> ProgramEditorSession::fetch() {
    if (!m_line || m_transfers > 0)
        co_return false;
    const auto alive = m_alive;
    const Transfer transfer(*this);
    const FetchResult r = co_await fetchProgram(*m_line, channel);
    if (!*alive)
        co_return false;
    switch (r.outcome) {
    case FetchResult::NoAnswer:
        askUser(r.messageKey());
        co_return false;
    case FetchResult::NoProgram:
        askUser(r.messageKey(), QStringLiteral("0410"), MsgIcon::Information);
        co_return false;
    case FetchResult::Fetched:
        break;
    }
    m_model.setProgram(r.program);
    m_model.initFromProgram();
    m_model.clearProgramSelection();
    co_return true;
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
    ProgramRecord p(m_options.defaultEndOfCharge);
    QString text = stored.text;
    p.parse(text, false);
    m_model.setProgram(p);
    m_model.initFromProgram();
    m_model.setStoredProgramId(id);
    return true;
}

bool ProgramEditorSession::programChangedFromOutside(const ProgramRecord& reported) {
    if (askUser(QStringLiteral("0996"), QString(), MsgIcon::None, MsgButtons::YesNo) !=
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
    const auto r = m_library->save(name, text, [this] {
        return askUser(QStringLiteral("0992"), QStringLiteral("0110"), MsgIcon::Question,
                       MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    switch (r.outcome) {
    case ProgramLibrary::SaveOutcome::Inserted:
    case ProgramLibrary::SaveOutcome::Overwritten:
        m_model.setStoredProgramId(r.id);
        return true;
    case ProgramLibrary::SaveOutcome::Failed:
        if (saveFailed)
            saveFailed(m_library->lastError());
        return false;
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
    if (askUser(QStringLiteral("0994"), QStringLiteral("0110"), MsgIcon::None, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return false;
    const bool removed = m_library->remove(id);
    m_model.clearProgramSelection();
    return removed;
}

} // namespace velmara
