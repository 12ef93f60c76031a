#include "programs/core/programeditorsession.h"

#include "link/chargermodel.h"
#include "link/programrecord.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programtext.h"
#include "programs/core/programtransfer.h"

#include <QHash>

namespace velmara {

QString transferProgressText(const TransferProgress& progress, const TextLookup& text) {
    const int number = ChannelCode::fromText(progress.channel).value_or(ChannelCode()).number();
    switch (progress.step) {
    case TransferProgress::Fetching:
        return text(QStringLiteral("4100")).arg(progress.attempt).arg(TransferAttempts);
    case TransferProgress::Sending:
        return text(QStringLiteral("4101")).arg(number).arg(progress.attempt).arg(TransferAttempts);
    case TransferProgress::Stopping:
        return text(QStringLiteral("4102"));
    case TransferProgress::Stopped:
        return text(QStringLiteral("4103"));
    }
    return QString();
}

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
        m_session.m_stopAsked = false;
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

void ProgramEditorSession::report(TransferProgress::Step step, const QString& channel,
                                  int attempt) {
    if (transferProgress)
        transferProgress(TransferProgress{step, channel, attempt});
}

TransferWatch ProgramEditorSession::watch(TransferProgress::Step step) {
    TransferWatch w;
    // A session gone while the charger answered stops the transfer.
    w.attempt = [this, alive = m_alive, step](const QString& ch, int attempt) {
        if (*alive)
            report(step, ch, attempt);
    };
    w.stop = [this, alive = m_alive] { return !*alive || m_stopAsked; };
    return w;
}

void ProgramEditorSession::stopTransfer() {
    if (m_transfers == 0 || m_stopAsked)
        return;
    m_stopAsked = true;
    report(TransferProgress::Stopping);
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
    const SendOutcome sent = co_await sendProgramText(*m_line, text, m_options.extensionAvailable,
                                                      watch(TransferProgress::Sending));
    if (!*alive)
        co_return false;
    if (sent == SendOutcome::Stopped) {
        report(TransferProgress::Stopped);
        co_return false;
    }
    if (sent == SendOutcome::Refused) {
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
    const SendAllResult r = co_await sendToAllChannels(
        *m_line, textFor, m_options.extensionAvailable, watch(TransferProgress::Sending));
    if (!*alive)
        co_return false;
    // The channels that took the program run it now, whether or not the others did.
    if (resetChannels && !r.accepted.isEmpty())
        resetChannels(r.accepted);
    if (r.stopped) {
        report(TransferProgress::Stopped);
        co_return false;
    }
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
    const FetchResult r =
        co_await fetchProgram(*m_line, channel, watch(TransferProgress::Fetching));
    if (!*alive)
        co_return false;
    switch (r.outcome) {
    case FetchResult::Stopped:
        report(TransferProgress::Stopped);
        co_return false;
    case FetchResult::NoAnswer:
        askUser(r.messageKey());
        co_return false;
    case FetchResult::NoProgram:
        askUser(r.messageKey(), QStringLiteral("0410"), MsgIcon::Information);
        co_return false;
    case FetchResult::Fetched:
        break;
    }
    showProgram(r.program);
    m_model.clearProgramSelection();
    co_return true;
}

void ProgramEditorSession::showProgram(ProgramRecord program) {
    if (!program.extendedReceived)
        program.endOfCharge = m_options.defaultEndOfCharge;
    m_model.setProgram(program);
    m_model.initFromProgram();
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
    ProgramRecord p;
    QString text = stored.text;
    p.parse(text, false);
    showProgram(p);
    m_model.setStoredProgramId(id);
    return true;
}

bool ProgramEditorSession::programChangedFromOutside(const ProgramRecord& reported) {
    if (askUser(QStringLiteral("0996"), QString(), MsgIcon::None, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return false;
    showProgram(reported);
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
    if (m_library->remove(id)) {
        m_model.clearProgramSelection();
        return true;
    }
    // A program that is gone is no longer selected; one that stays can be tried again.
    const QString reason = m_library->lastError();
    if (reason.isEmpty())
        m_model.clearProgramSelection();
    if (deleteFailed)
        deleteFailed(reason);
    return false;
}

} // namespace velmara
