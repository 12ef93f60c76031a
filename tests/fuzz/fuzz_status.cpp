#include "fuzz_targets.h"
#include "link/statusanswer.h"

namespace velmara::fuzz {

int statusAnswer(const uint8_t* data, size_t size) {
    CommunicationResults r;
    int programs = 0, lists = 0;
    QObject::connect(&r, &CommunicationResults::ProgramChanged,
                     [&](std::shared_ptr<CommunicationProgram> p) { programs += p ? 1 : 100; });
    QObject::connect(&r, &CommunicationResults::EndwertRecieved,
                     [&](std::shared_ptr<EntwertList> l) { lists += l ? 1 : 100; });
    QString text = latin1(data, size);
    r.splitRecievedString(text);
    const qint16 k = r.iAntwortTyp;
    require(k == 0 || k == -2 || k == -1 || k == 2 || k == 3 || k == 11);
    require(programs + lists <= 1);
    require(r.strKanal.isEmpty() || r.strKanal.size() == 3);
    // Live values come from five digits at most.
    for (qint32 v : {r.lStrom, r.lSpannung, r.lKapazitaet})
        require(v >= 0 && v <= 99999);
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(statusAnswer)
