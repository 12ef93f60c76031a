// The fuzz targets (fuzz_targets.h). Built into the gtest driver, and into one
// libFuzzer binary per target with VELMARA_LIBFUZZER naming it.
#include "fuzz_targets.h"
#include "data/endvaluelines.h"
#include "data/valuestrings.h"
#include "link/chargerlink.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"
#include "link/statusrecord.h"
#include "support/fake_serial_port.h"

namespace velmara::fuzz {

int statusAnswer(const uint8_t* data, size_t size) {
    StatusRecord r;
    int programs = 0, lists = 0;
    QObject::connect(&r, &StatusRecord::programReceived,
                     [&](std::shared_ptr<ProgramRecord> p) { programs += p ? 1 : 100; });
    QObject::connect(&r, &StatusRecord::endValuesReceived,
                     [&](std::shared_ptr<EndValueList> l) { lists += l ? 1 : 100; });
    QString text = latin1(data, size);
    r.parse(text);
    const qint16 k = r.answerType;
    require(k == 0 || k == -2 || k == -1 || k == 2 || k == 3 || k == 11);
    require(programs + lists <= 1);
    require(r.channelCode.number() >= 0 && r.channelCode.number() <= 4);
    // Live values come from five digits at most.
    for (qint32 v : {r.currentMa, r.voltageMv, r.capacityMah})
        require(v >= 0 && v <= 99999);
    return 0;
}

int programString(const uint8_t* data, size_t size) {
    for (bool withGal : {true, false}) {
        ProgramRecord p;
        QString text = latin1(data, size);
        p.parse(text, withGal);
        require(p.batteryType >= -4 && p.batteryType <= 99);
        require(p.chargeCurrentMa >= 0 && p.chargeCurrentMa <= 99999);
        require(p.capacityMah >= -3 && p.capacityMah <= 99999);
        require(p.endOfCharge >= 0 && p.endOfCharge <= 999);
        require(p.galNumber >= 0 && p.galNumber <= 9);
    }
    return 0;
}

int endValueAnswer(const uint8_t* data, size_t size) {
    EndValueList list;
    QString text = latin1(data, size);
    const qsizetype fields = text.count(QLatin1Char(',')) + 1;
    list.parse(text);
    // Every end value takes at least four fields.
    require(list.size() <= fields / 4 + 1);
    for (const auto& e : list) {
        require(e->endValueType >= -1 && e->endValueType <= 3);
        require(e->cycleSeconds >= 0);
        require(e->selfDischarge >= -1 && e->selfDischarge <= 99999);
        (void)formatEndValueLine(list.size(), *e);
    }
    return 0;
}

int valueString(const uint8_t* data, size_t size) {
    const QString text = latin1(data, size);
    for (bool endwert : {false, true}) {
        const LoadedMeasurementValue v = parseValueString(text, endwert);
        require(v.isEndValue == endwert);
        if (!endwert)
            require(!v.hasBatteryCondition && !v.hasSelfDischarge && v.endValueType == 0);
        // A valid value has at least the fields its kind needs.
        if (v.bValid)
            require(text.count(QLatin1Char(';')) >= (endwert ? 4 : 3));
    }
    return 0;
}

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

#ifdef VELMARA_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmara::fuzz::VELMARA_LIBFUZZER(data, size);
}
#endif
