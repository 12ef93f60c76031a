#include "fuzz_targets.h"
#include "storage/criteria.h"
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
    const storage::JetToken* open = storage::firstUnclosed(tokens);
    require(!open || open == &tokens.last());

    translateJetSql(text);
    const QStringList columns = {"Nr", "key", "Name"};
    auto criteria = storage::Criteria::parse(
        text, [&](const QString& name) { return int(columns.indexOf(name)); }, nullptr);
    if (criteria) {
        criteria->matches({5, QStringLiteral("it's"), QVariant()});
        criteria->matches({});
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(jetText)
