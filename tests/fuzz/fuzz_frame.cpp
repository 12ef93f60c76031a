#include "fuzz_targets.h"
#include "link/chargerlink.h"
#include "support/fake_serial_port.h"

namespace velmara::fuzz {

// The bytes arrive on the in-memory port in pieces (the first byte decides the
// cut), and the link collects and unwraps them.
int answerFrame(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    auto clock = std::make_shared<FakeLinkClock>(1'700'000'000'000 + data[0] % 1000);
    auto owned = std::make_unique<FakeSerialPort>(clock);
    FakeSerialPort* port = owned.get();
    ChargerLink link(std::move(owned), clock);
    link.openComPort();
    QList<FakeSerialPort::Piece> pieces;
    const size_t step = 1 + data[0] % 7;
    for (size_t at = 1; at < size; at += step)
        pieces.append({QByteArray(reinterpret_cast<const char*>(data + at),
                                  qsizetype(std::min(step, size - at))),
                       qint64(data[at] % 5) * 100});
    port->queueAnswer(pieces);
    // The fake port answers without waiting: the request is complete at once.
    QString answer;
    bool done = false;
    link.getStatus(ChannelCode(1)).then([&](const QString& a) { answer = a, done = true; });
    require(done);
    require(answer.isEmpty() || answer == QLatin1String("-1") || answer.endsWith(QLatin1Char(',')));
    require(!answer.contains(QChar(0x03)));
    const QString direct = ChargerLink::unwrapAnswer(latin1(data, size));
    require(direct == QLatin1String("-1") || direct.size() <= qsizetype(size));
    require(port->writes.size() == 1);
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(answerFrame)
