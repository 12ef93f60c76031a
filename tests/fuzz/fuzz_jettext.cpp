#include "fuzz_targets.h"
#include "storage/database.h"
#include "storage/jetlexer.h"

namespace velmara::fuzz {

int jetText(const uint8_t* data, size_t size) {
    const QString text = latin1(data, size);
    const QVector<storage::JetToken> tokens = storage::lexJet(text);
    // The tokens cover the text in order, each at least one character long.
    int at = 0;
    for (const storage::JetToken& t : tokens) {
        require(t.start == at && t.end > t.start);
        at = t.end;
    }
    require(at == text.size());
    // Only the last token can be one the text ends inside.
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i)
        require(tokens.at(i).closed);

    translateJetSql(text);
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(jetText)
