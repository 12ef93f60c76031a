#include "programs/core/programtransfer.h"

#include "link/chargerlink.h"
#include "link/chargermodel.h"
#include "programs/core/programtext.h"

namespace velmara {

LinkProgramLine::LinkProgramLine(ChargerLink* link) : m_link(link) {}

namespace {

QCoro::Task<QString> noLine() {
    co_return QString();
}

} // namespace

// The link copies the text when the request is made.
QCoro::Task<QString> LinkProgramLine::sendProgram(const QString& body) {
    return m_link ? m_link->sendProgram(body) : noLine();
}

QCoro::Task<QString> LinkProgramLine::getProgram(const QString& channel) {
    return m_link ? m_link->getProgram(ChannelCode::fromText(channel).value_or(ChannelCode()))
                  : noLine();
}

QCoro::Task<SendOutcome> sendProgramText(ProgramLine& line, const QString& text,
                                         bool extensionAvailable, TransferWatch watch) {
    const QString channel = text.left(3);
    for (int attempt = 1; attempt <= TransferAttempts; ++attempt) {
        if (watch.stopped())
            co_return SendOutcome::Stopped;
        if (watch.attempt)
            watch.attempt(channel, attempt);
        const QString echo = co_await line.sendProgram(text);
        if (echoMatches(text, echo, extensionAvailable))
            co_return SendOutcome::Accepted;
    }
    co_return SendOutcome::Refused;
}

QCoro::Task<SendAllResult>
sendToAllChannels(ProgramLine& line, const std::function<QString(const QString& channel)>& textFor,
                  bool extensionAvailable, TransferWatch watch) {
    SendAllResult result;
    for (const QString& channel : allChannelCodes()) {
        const QString text = textFor(channel);
        const SendOutcome sent = co_await sendProgramText(line, text, extensionAvailable, watch);
        if (sent == SendOutcome::Stopped) {
            result.stopped = true;
            break;
        }
        if (sent == SendOutcome::Refused) {
            result.failed = channel;
            break;
        }
        result.accepted << channel;
    }
    co_return result;
}

QString FetchResult::messageKey() const {
    switch (outcome) {
    case Fetched:
    case Stopped:
        return QString();
    case NoAnswer:
        return QStringLiteral("0974");
    case NoProgram:
        return QStringLiteral("0993");
    }
    return QString();
}

QCoro::Task<FetchResult> fetchProgram(ProgramLine& line, const QString& channel,
                                      TransferWatch watch) {
    FetchResult result;
    for (int attempt = 1; attempt <= TransferAttempts; ++attempt) {
        if (watch.stopped()) {
            result.outcome = FetchResult::Stopped;
            co_return result;
        }
        if (watch.attempt)
            watch.attempt(channel, attempt);
        QString answer = co_await line.getProgram(channel);
        result.program.parse(answer, true);
        const qint16 type = result.program.batteryType;
        if (type == ProgramRecord::ChannelFault) {
            result.outcome = FetchResult::NoProgram;
            co_return result;
        }
        if (type != ProgramRecord::BadAnswer && type != ProgramRecord::NoAnswer) {
            result.outcome = FetchResult::Fetched;
            co_return result;
        }
    }
    result.outcome = FetchResult::NoAnswer;
    co_return result;
}

} // namespace velmara
