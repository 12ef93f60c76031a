// The delivered master content as a new master file holds it, read through the storage layer.
#include "data/databases.h"
#include "storage/database.h"
#include "storage/jetlexer.h"
#include "storage/recordset.h"
#include "support/temp_folder.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <cmath>

namespace velmara::test {
namespace {

QString sourceDir() {
    return qEnvironmentVariable("VELMARA_SOURCE_DIR");
}

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// NaN for a missing or non-numeric value, so that every comparison with it fails.
double number(const QString& value) {
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? d : std::nan("");
}

const char* const kFamilies[] = {"Qmt1", "Qmt4"};

class SeedTest : public ::testing::Test {
protected:
    // One new master file for all the tests.
    static void SetUpTestSuite() {
        tmp = new TempProgramFolder;
        if (createMissingDatabaseFiles(tmp->folder()))
            db = Database::open(tmp->folder().masterPath(), connectString()).release();
    }
    static void TearDownTestSuite() {
        delete db;
        delete tmp;
    }
    void SetUp() override {
        ASSERT_FALSE(sourceDir().isEmpty()) << "VELMARA_SOURCE_DIR is not set";
        ASSERT_TRUE(db);
    }

    // The rows of a query, each as the texts of its fields (NULL reads as "").
    QList<QStringList> rows(const QString& sql) {
        QList<QStringList> out;
        auto rs = db->openRecordset(sql);
        EXPECT_TRUE(rs->isValid()) << sql.toStdString() << ": " << rs->error().toStdString();
        const QStringList fields = rs->fieldNames();
        for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
            QStringList row;
            for (const QString& field : fields)
                row << rs->text(field);
            out << row;
        }
        return out;
    }
    // The first field of each row mapped to the second.
    QMap<QString, QString> pairs(const QString& sql) {
        QMap<QString, QString> out;
        for (const QStringList& r : rows(sql))
            out.insert(r[0], r[1]);
        return out;
    }
    QMap<QString, QString> texts(const QString& language) {
        return pairs("SELECT ResourceID, ResourceText FROM NLSResources WHERE SprachCode = " +
                     storage::jetStringLiteral(language));
    }
    QStringList column(const QString& sql) {
        QStringList out;
        for (const QStringList& r : rows(sql))
            out << r[0];
        return out;
    }
    QStringList usableLanguages() {
        return column("SELECT SprachCode FROM Sprachen WHERE Usable = 1");
    }
    // Bez -> (Min, Max) of one charger family ("Qmt1" / "Qmt4")
    QMap<QString, std::pair<double, double>> limits(const QString& family) {
        QMap<QString, std::pair<double, double>> out;
        for (const QStringList& r :
             rows("SELECT Bez, Min" + family + " AS Lo, Max" + family + " AS Hi FROM MinMaxWerte"))
            out.insert(r[0], {number(r[1]), number(r[2])});
        return out;
    }

    static inline TempProgramFolder* tmp = nullptr;
    static inline Database* db = nullptr;
};

// The keys of seed/required-keys.txt and every four-digit literal in src/ ("9600"
// is the baud rate).
QSet<QString> keysTheProgramAsksFor() {
    QSet<QString> keys;
    const QRegularExpression listed("^\\s*([0-9]{4})\\s*$", QRegularExpression::MultilineOption);
    for (auto it = listed.globalMatch(readFile(sourceDir() + "/seed/required-keys.txt"));
         it.hasNext();)
        keys << it.next().captured(1);
    EXPECT_GT(keys.size(), 250) << "seed/required-keys.txt looks truncated";
    const QRegularExpression literal("\"([0-9]{4})\"");
    QDirIterator files(sourceDir() + "/src", {"*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        for (auto it = literal.globalMatch(readFile(files.next())); it.hasNext();)
            keys << it.next().captured(1);
    keys.remove("9600");
    return keys;
}

TEST_F(SeedTest, EveryKeyTheProgramAsksForHasATextInEveryUsableLanguage) {
    QSet<QString> keys = keysTheProgramAsksFor();
    for (const QString& key : column("SELECT SprachResID FROM Sprachen"))
        keys << key;
    const QStringList languages = usableLanguages();
    ASSERT_GE(languages.size(), 2);
    for (const QString& language : languages) {
        const auto text = texts(language);
        for (const QString& key : keys)
            EXPECT_FALSE(text.value(key).trimmed().isEmpty())
                << "key " << key.toStdString() << " has no text in " << language.toStdString();
    }
}

// The report printing recognises the forming mode by its exact name.
TEST_F(SeedTest, FormingModeHasTheNameThePrintingLooksFor) {
    const auto mode7 = rows("SELECT SprachId FROM GeraeteModi WHERE ModusNr = 7");
    ASSERT_EQ(mode7.size(), 1);
    EXPECT_EQ(texts("de").value(mode7[0][0]), "Formieren");
    EXPECT_EQ(texts("en").value(mode7[0][0]), "Conditioning");
}

TEST_F(SeedTest, BatteryTypesHaveNamesAndCellRangesThatFitTheVoltageLimit) {
    const auto types = rows("SELECT Nr, Nennspannung, ZminQMT1, ZmaxQMT1, ZminQMT4, ZmaxQMT4, "
                            "SprachId FROM Akkutypen WHERE Usable = 1");
    ASSERT_FALSE(types.empty());
    const auto german = texts("de"), english = texts("en");
    for (const QStringList& t : types) {
        SCOPED_TRACE("battery type " + t[0].toStdString());
        for (int f = 0; f < 2; ++f) {
            const double zmin = number(t[2 + 2 * f]), zmax = number(t[3 + 2 * f]);
            EXPECT_GE(zmin, 1);
            EXPECT_LE(zmin, zmax);
            // The nominal voltage of the largest pack must pass its family's limit.
            EXPECT_LE(number(t[1]) * zmax, limits(kFamilies[f])["05"].second) << kFamilies[f];
        }
        EXPECT_TRUE(german.contains(t[6]) && english.contains(t[6]));
    }
}

TEST_F(SeedTest, DeviceModesHaveConsistentFields) {
    const auto modes = rows("SELECT ModusNr, LBlock, EBlock, TSel, FormCbo, TageText, "
                            "Ladeschluss, Entladeschluss FROM GeraeteModi");
    ASSERT_FALSE(modes.empty());
    for (const QStringList& m : modes) {
        SCOPED_TRACE("mode " + m[0].toStdString());
        for (int c = 1; c <= 7; ++c)
            EXPECT_TRUE(m[c] == "0" || m[c] == "1")
                << "column " << c << " = " << m[c].toStdString();
        const bool charge = m[1] == "1", discharge = m[2] == "1";
        EXPECT_TRUE(charge || discharge) << "a mode needs a current";
        // An end voltage is asked for exactly where its current is.
        EXPECT_EQ(m[6] == "1", charge);
        EXPECT_EQ(m[7] == "1", discharge);
        // Self-discharge tests, cycle counts and periods need both directions.
        if (m[3] == "1" || m[4] == "1" || m[5] == "1") {
            EXPECT_TRUE(charge && discharge);
        }
    }
}

// A cycle count goes on the line as one digit; the list preselects its first row.
TEST_F(SeedTest, CycleCountsAreDistinctSingleDigitCodesSmallestFirst) {
    QStringList codes = column("SELECT SendeCode FROM FormierModi ORDER BY ID");
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.filter(QRegularExpression("^[0-9]$")).size(), codes.size())
        << codes.join(' ').toStdString();
    const QString first = codes.front();
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(first, codes.front());
    EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end()), codes.end()) << "a code twice";
}

TEST_F(SeedTest, LimitRowsExistAndFitTheWireFields) {
    struct Rule {
        const char* key;
        double ceiling; // what the wire field or the charger takes
    };
    const Rule rules[] = {{"05", 60.0}, {"E", 10.0}, {"L", 10.0}, {"K", 99.999}, {"N", 99},
                          {"P", 100},   {"W", 99},   {"YH", 999}, {"YD", 999}};
    for (const char* family : kFamilies) {
        const auto limit = limits(family);
        for (const Rule& rule : rules) {
            SCOPED_TRACE(std::string(family) + " row " + rule.key);
            ASSERT_TRUE(limit.contains(rule.key)) << "row missing";
            const auto [min, max] = limit.value(rule.key);
            EXPECT_GT(min, 0.0);
            EXPECT_LT(min, max);
            EXPECT_LE(max, rule.ceiling);
        }
    }
}

// A setting without its row is never stored; the defaults replace a zero in a
// sent program, so they must pass both families' checks.
TEST_F(SeedTest, SettingsHoldEveryKeyWithDefaultsThatAgreeWithTheTables) {
    auto s = pairs("SELECT key, value FROM Optionen");
    for (const QString& key :
         QStringLiteral(
             "FirstStartup UsedLanguage UsedCharger ComPort ComDevice1 ComDevice2 ComDevice3 "
             "ComDevice4 Akku1Visible Akku2Visible Akku3Visible Akku4Visible P1ExtensionAvailable "
             "P4ExtensionAvailable ProgramExtensionAvaiable ProgramExtensionType SendAllVisible "
             "DefaultLadestrom DefaultEntladestrom DefaultEntladeschlussSpannung DefaultLadeende "
             "MaxAkkuBemerkung MaxMessBemerkung MinMaxSpannungVisible MinMaxStromVisible "
             "MinMaxKapazitaetVisible xGridVisible yGridVisible PrintingLook HeadArea PrintDate "
             "PrintingSubTitle")
             .split(' '))
        EXPECT_TRUE(s.contains(key)) << "setting " << key.toStdString() << " missing";

    EXPECT_TRUE(usableLanguages().contains(s["UsedLanguage"]));
    EXPECT_EQ(rows("SELECT 1 FROM Ladegeraete WHERE Geraetekuerzel = " +
                   storage::jetStringLiteral(s["UsedCharger"]))
                  .size(),
              1);
    const std::pair<const char*, double> defaults[] = {
        {"L", number(s["DefaultLadestrom"]) / 1000.0},
        {"E", number(s["DefaultEntladestrom"]) / 1000.0},
        {"05", number(s["DefaultEntladeschlussSpannung"]) / 1000.0},
        {"N", number(s["DefaultLadeende"]) / 10.0}};
    for (const char* family : kFamilies) {
        auto limit = limits(family);
        for (const auto& [key, value] : defaults) {
            EXPECT_GE(value, limit[key].first) << family << " " << key;
            EXPECT_LE(value, limit[key].second) << family << " " << key;
        }
    }
}

} // namespace
} // namespace velmara::test
