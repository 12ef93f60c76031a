// The named programs of the user file, and the extended settings as the
// extended-mode dialog shows and collects them.
#include "programs/core/extendedsettings.h"
#include "programs/core/programlibrary.h"
#include "programs_fixture.h"

#include "storage/database.h"

namespace velmara::test {
namespace {

class Library : public ProgramsTest {
public:
    int rows() { return session().user()->scalar("SELECT COUNT(*) FROM Programme").toInt(); }
    QString stored(const QString& name) {
        auto rs = session().user()->openRecordset("SELECT * FROM Programme");
        for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
            if (rs->text("Bez") == name)
                return rs->text("Daten");
        return "(none)";
    }
    using Outcome = ProgramLibrary::SaveOutcome;
    static constexpr auto never = [] { return ADD_FAILURE() << "asked to overwrite", false; };
};

TEST_F(Library, SaveAsNewOverwriteOrKeep) {
    ProgramLibrary lib(session().user());
    ASSERT_TRUE(lib.isValid());
    const auto first = lib.save("  Pack A ", "001,P,A05", never);
    EXPECT_EQ(first.outcome, Outcome::Inserted);
    EXPECT_EQ(stored("Pack A"), "001,P,A05");

    // Answering No keeps the stored program and stores nothing.
    int asked = 0;
    const auto kept = lib.save("pack a", "001,P,A02", [&] { return ++asked, false; });
    EXPECT_EQ(kept.outcome, Outcome::Kept);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(stored("Pack A"), "001,P,A05");

    const auto over = lib.save("Pack A", "001,P,A02", [] { return true; });
    EXPECT_EQ(over.outcome, Outcome::Overwritten);
    EXPECT_EQ(over.id, first.id);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(stored("Pack A"), "001,P,A02");

    EXPECT_EQ(lib.save("   ", "x", never).outcome, Outcome::NoName);
    EXPECT_EQ(rows(), 1);
}

TEST_F(Library, NamesWithQuotesAreFoundAgain) {
    ProgramLibrary lib(session().user());
    for (const char* name : {"Bob's pack", "it''s", "a' OR '1'='1", "\"quoted\""}) {
        EXPECT_EQ(lib.save(name, "001,P,A01", never).outcome, Outcome::Inserted) << name;
        int asked = 0;
        EXPECT_EQ(lib.save(name, "001,P,A02", [&] { return ++asked, false; }).outcome,
                  Outcome::Kept)
            << name;
        EXPECT_EQ(asked, 1) << name;
        EXPECT_EQ(stored(name), "001,P,A01");
    }
    EXPECT_EQ(rows(), 4);
}

// Listed as a reader orders names, not by their bytes.
TEST_F(Library, ListLoadAndDelete) {
    ProgramLibrary lib(session().user(), kGerman);
    const qint64 b = lib.save("Zelle", "002,P,A02", never).id;
    const qint64 a = lib.save("akku 1", "001,P,A01", never).id;
    lib.save("Ölpack", "001,P,A03", never);
    QStringList names;
    for (const StoredProgram& p : lib.programs())
        names << p.name;
    EXPECT_EQ(names, QStringList({"akku 1", "Ölpack", "Zelle"}));
    EXPECT_EQ(lib.byId(b).text, "002,P,A02");
    EXPECT_EQ(lib.byId(999).id, -1);
    EXPECT_TRUE(lib.remove(a));
    EXPECT_FALSE(lib.remove(a));
    EXPECT_EQ(lib.lastError(), ""); // gone, no fault
    EXPECT_EQ(lib.programs().size(), 2);
}

class Extended : public ProgramsTest {};

TEST_F(Extended, ChoicesRoundTripThroughTheRecord) {
    ProgramRecord p;
    p.endOfCharge = 100;
    p.leadAcidMode = 2; // only 1 selects mode 2
    p.lithiumIonMode = 1;
    p.programmingLocked = true;
    p.uMode = 1;
    const ExtendedChoices c = extendedChoicesOf(p, kGerman);
    EXPECT_EQ(c.endOfCharge, "10");
    EXPECT_FALSE(c.leadMode2);
    EXPECT_TRUE(c.liIonMode2);
    EXPECT_TRUE(c.locked);
    EXPECT_TRUE(c.u2);

    ProgramRecord back;
    EXPECT_FALSE(collectExtended(c, ref, back, kGerman));
    EXPECT_EQ(back.endOfCharge, 100);
    EXPECT_EQ(back.leadAcidMode, 0);
    EXPECT_EQ(back.lithiumIonMode, 1);
    EXPECT_TRUE(back.programmingLocked);
    EXPECT_EQ(back.uMode, 1);
    EXPECT_EQ(back.qMode, 0);
}

TEST_F(Extended, EndOfChargeIsCheckedBeforeItIsTaken) {
    struct Case {
        const char* text;
        const char* key; // "" accepted
    };
    const Case cases[] = {{"25", ""},     {" ", "7054"},     {"0", "7050"},
                          {"51", "7050"}, {"99999", "7050"}, {"x", "7050"}};
    for (const Case& c : cases) {
        ExtendedChoices choices;
        choices.endOfCharge = c.text;
        ProgramRecord p;
        p.endOfCharge = 77;
        const CheckResult r = collectExtended(choices, ref, p, kGerman);
        EXPECT_EQ(r ? (r->isLimits() ? r->keyA : r->key) : QString(), c.key) << c.text;
        EXPECT_EQ(p.endOfCharge, *c.key ? 77 : 250) << c.text;
    }
    const CheckResult r = checkEndOfCharge("60", ref, kGerman);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->focus, "txtLadeende");
    EXPECT_DOUBLE_EQ(r->max, 50);
}

} // namespace
} // namespace velmara::test
