#include "fuzz_targets.h"
#include "link/programanswer.h"

namespace velmara::fuzz {

int programString(const uint8_t* data, size_t size) {
    for (bool withGal : {true, false}) {
        CommunicationProgram p;
        QString text = latin1(data, size);
        p.splitRecievedString(text, withGal);
        require(p.iAkkuTyp >= -4 && p.iAkkuTyp <= 99);
        require(p.lLadestrom >= 0 && p.lLadestrom <= 99999);
        require(p.lKapazitaet >= -3 && p.lKapazitaet <= 99999);
        require(p.iLadeende >= 0 && p.iLadeende <= 999);
        require(p.iGalNummer >= 0 && p.iGalNummer <= 9);
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(programString)
