#include "programs/core/programtransfer.h"

#include "link/velmaracomcommunication.h"
#include "programs/core/programtext.h"

namespace velmara {

QString LinkProgramLine::sendProgram(const QString& body) {
    return m_link ? m_link->sendProgram(body) : QString();
}

QString LinkProgramLine::getProgram(const QString& channel) {
    return m_link ? m_link->getProgram(channel) : QString();
}

bool sendProgramText(ProgramLine& line, const QString& text, bool extensionAvailable) {
    for (int attempt = 0; attempt < TransferAttempts; ++attempt)
        if (echoMatches(text, line.sendProgram(text), extensionAvailable))
            return true;
    return false;
}

SendAllResult sendToAllChannels(ProgramLine& line,
                                const std::function<QString(const QString& channel)>& textFor,
                                bool extensionAvailable) {
    SendAllResult result;
    for (const QString& channel : AllChannels) {
        if (!sendProgramText(line, textFor(channel), extensionAvailable)) {
            result.failed = channel;
            break;
        }
        result.accepted << channel;
    }
    return result;
}

QString FetchResult::messageKey() const {
    switch (outcome) {
    case Fetched:
        return QString();
    case NoAnswer:
        return QStringLiteral("0974");
    case NoProgram:
        return QStringLiteral("0993");
    }
    return QString();
}

FetchResult fetchProgram(ProgramLine& line, const QString& channel) {
    FetchResult result;
    for (int attempt = 0; attempt < TransferAttempts; ++attempt) {
        QString answer = line.getProgram(channel);
        result.program.splitRecievedString(answer, true);
        const qint16 type = result.program.iAkkuTyp;
        if (type == CommunicationProgram::ChannelFault) {
            result.outcome = FetchResult::NoProgram;
            return result;
        }
        if (type != CommunicationProgram::BadAnswer && type != CommunicationProgram::NoAnswer) {
            result.outcome = FetchResult::Fetched;
            return result;
        }
    }
    result.outcome = FetchResult::NoAnswer;
    return result;
}

} // namespace velmara
