#pragma once
// Sending a program to the charger and reading one back, each with three
// attempts. The charger is reached through a small interface so that the
// attempts can be exercised without a line. Every answer is awaited: the
// attempts wait their turn behind the requests already on the line.
#include "link/programrecord.h"

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmara {

class ChargerLink;

class ProgramLine {
public:
    virtual ~ProgramLine() = default;
    // Sends a program text; answers with the payload ("" no answer, "-1" bad frame).
    // The arguments stay valid until the answer is in.
    virtual QCoro::Task<QString> sendProgram(const QString& body) = 0;
    // Requests the program the channel runs.
    virtual QCoro::Task<QString> getProgram(const QString& channel) = 0;
};

// The serial link as a program line.
class LinkProgramLine : public ProgramLine {
public:
    explicit LinkProgramLine(ChargerLink* link);
    QCoro::Task<QString> sendProgram(const QString& body) override;
    QCoro::Task<QString> getProgram(const QString& channel) override;

private:
    QPointer<ChargerLink> m_link;
};

constexpr int TransferAttempts = 3;

// Who follows a transfer: told before each request goes out, and asked there
// whether to stop. A request on the line is never cut short: a transfer ends
// only between two requests.
struct TransferWatch {
    // The channel ("001" .. "004") and the attempt (1 .. TransferAttempts).
    std::function<void(const QString& channel, int attempt)> attempt;
    // True: no further request goes out.
    std::function<bool()> stop;
    bool stopped() const { return stop && stop(); }
};

enum class SendOutcome { Accepted, Refused, Stopped };

// Sends the text until the echo matches, at most three times.
// (The coroutines below take references: the caller keeps the arguments
// until the result is in.)
QCoro::Task<SendOutcome> sendProgramText(ProgramLine& line, const QString& text,
                                         bool extensionAvailable, TransferWatch watch = {});

struct SendAllResult {
    QStringList accepted; // channels that took the program, in order
    QString failed;       // the channel that refused it three times; empty when none
    bool stopped = false; // the watch stopped it before every channel had it
    bool ok() const { return failed.isEmpty() && !stopped; }
};

// Sends the text built for each channel to channels 1 to 4 in order and stops
// at the first channel that refuses it three times.
QCoro::Task<SendAllResult>
sendToAllChannels(ProgramLine& line, const std::function<QString(const QString& channel)>& textFor,
                  bool extensionAvailable, TransferWatch watch = {});

struct FetchResult {
    enum Outcome { Fetched, NoAnswer, NoProgram, Stopped } outcome = NoAnswer;
    ProgramRecord program;
    // The message to show: "0974" no valid answer, "0993" no battery; empty
    // when fetched or stopped.
    QString messageKey() const;
};

// Reads the channel's program, at most three times until an answer parses.
QCoro::Task<FetchResult> fetchProgram(ProgramLine& line, const QString& channel,
                                      TransferWatch watch = {});

} // namespace velmara
