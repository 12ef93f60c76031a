// The delivered master content (seed/master-schema.sql + seed/master-rows.sql),
// loaded into an in-memory database with the plain SQLite API.
#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Row = std::vector<std::string>; // NULL reads as ""

fs::path sourceDir() {
    const char* dir = std::getenv("VELMARA_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::path();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool blank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

// NaN for a missing or non-numeric value, so that every comparison with it fails.
double number(const std::string& value) {
    try {
        return std::stod(value);
    } catch (const std::exception&) {
        return std::nan("");
    }
}

class SeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(sourceDir().empty()) << "VELMARA_SOURCE_DIR is not set";
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        for (const char* file : {"seed/master-schema.sql", "seed/master-rows.sql"}) {
            char* message = nullptr;
            const int rc =
                sqlite3_exec(db, readFile(sourceDir() / file).c_str(), nullptr, nullptr, &message);
            ASSERT_EQ(rc, SQLITE_OK) << file << ": " << (message ? message : "?");
        }
    }
    void TearDown() override { sqlite3_close(db); }

    std::vector<Row> rows(const std::string& sql, const std::string& arg = {}) {
        std::vector<Row> result;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "cannot prepare " << sql << ": " << sqlite3_errmsg(db);
            return result;
        }
        if (!arg.empty())
            sqlite3_bind_text(stmt, 1, arg.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* v = sqlite3_column_text(stmt, c);
                row.emplace_back(v ? reinterpret_cast<const char*>(v) : "");
            }
            result.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return result;
    }
    // key -> text in one language
    std::map<std::string, std::string> texts(const std::string& language) {
        std::map<std::string, std::string> out;
        for (const Row& r :
             rows("SELECT ResourceID, ResourceText FROM NLSResources WHERE SprachCode = ?",
                  language))
            out[r[0]] = r[1];
        return out;
    }
    std::vector<std::string> usableLanguages() {
        std::vector<std::string> codes;
        for (const Row& r : rows("SELECT SprachCode FROM Sprachen WHERE Usable = 1"))
            codes.push_back(r[0]);
        return codes;
    }
    std::map<std::string, std::string> settings() {
        std::map<std::string, std::string> out;
        for (const Row& r : rows("SELECT \"key\", \"value\" FROM Optionen"))
            out[r[0]] = r[1];
        return out;
    }
    // Bez -> (Min, Max) of one charger family ("Qmt1" / "Qmt4")
    std::map<std::string, std::pair<double, double>> limits(const std::string& family) {
        std::map<std::string, std::pair<double, double>> out;
        for (const Row& r :
             rows("SELECT Bez, Min" + family + ", Max" + family + " FROM MinMaxWerte"))
            out[r[0]] = {number(r[1]), number(r[2])};
        return out;
    }

    sqlite3* db = nullptr;
};

const char* const kFamilies[] = {"Qmt1", "Qmt4"};

// The keys of seed/required-keys.txt, every four-digit literal in src/ ("9600"
// is the baud rate) and the names of the languages.
std::set<std::string> keysTheProgramAsksFor() {
    std::set<std::string> keys;
    std::istringstream lines(readFile(sourceDir() / "seed/required-keys.txt"));
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, std::regex("\\s*[0-9]{4}\\s*")))
            keys.insert(line.substr(line.find_first_of("0123456789"), 4));
    EXPECT_GT(keys.size(), 250u) << "seed/required-keys.txt looks truncated";
    const std::regex literal("\"([0-9]{4})\"");
    for (const auto& entry : fs::recursive_directory_iterator(sourceDir() / "src")) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        const std::string code = readFile(entry.path());
        for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it)
            if ((*it)[1] != "9600")
                keys.insert((*it)[1]);
    }
    return keys;
}

TEST_F(SeedTest, EveryKeyTheProgramAsksForHasATextInEveryUsableLanguage) {
    std::set<std::string> keys = keysTheProgramAsksFor();
    for (const Row& r : rows("SELECT SprachResID FROM Sprachen"))
        keys.insert(r[0]);
    const auto languages = usableLanguages();
    ASSERT_GE(languages.size(), 2u);
    for (const auto& language : languages) {
        const auto text = texts(language);
        for (const auto& key : keys)
            EXPECT_TRUE(text.count(key) && !blank(text.at(key)))
                << "key " << key << " has no text in '" << language << "'";
    }
}

TEST_F(SeedTest, MenuAcceleratorsAreKeptInEveryLanguage) {
    const auto german = texts("de");
    for (const auto& language : usableLanguages()) {
        for (const auto& [key, text] : texts(language)) {
            if (key < "1000" || key > "1088" || !german.count(key))
                continue;
            const bool expected = german.at(key).find('&') != std::string::npos;
            EXPECT_EQ(std::count(text.begin(), text.end(), '&'), expected ? 1 : 0)
                << key << " in " << language << ": " << text;
        }
    }
}

// The report printing recognises the forming mode by its exact name.
TEST_F(SeedTest, FormingModeHasTheNameThePrintingLooksFor) {
    const auto mode7 = rows("SELECT SprachId FROM GeraeteModi WHERE ModusNr = 7");
    ASSERT_EQ(mode7.size(), 1u);
    EXPECT_EQ(texts("de")[mode7[0][0]], "Formieren");
    EXPECT_EQ(texts("en")[mode7[0][0]], "Conditioning");
}

TEST_F(SeedTest, BatteryTypesHaveNamesAndCellRangesThatFitTheVoltageLimit) {
    const auto types = rows("SELECT Nr, Nennspannung, ZminQMT1, ZmaxQMT1, ZminQMT4, ZmaxQMT4, "
                            "SprachId FROM Akkutypen WHERE Usable = 1");
    ASSERT_FALSE(types.empty());
    for (const Row& t : types) {
        SCOPED_TRACE("battery type " + t[0]);
        for (int f = 0; f < 2; ++f) {
            const double zmin = number(t[2 + 2 * f]), zmax = number(t[3 + 2 * f]);
            EXPECT_GE(zmin, 1);
            EXPECT_LE(zmin, zmax);
            // The nominal voltage of the largest pack must pass its family's limit.
            EXPECT_LE(number(t[1]) * zmax, limits(kFamilies[f])["05"].second) << kFamilies[f];
        }
        for (const auto& language : usableLanguages())
            EXPECT_TRUE(texts(language).count(t[6])) << "no name in " << language;
    }
}

TEST_F(SeedTest, DeviceModesCoverTheChargerModesWithConsistentFields) {
    const auto modes = rows("SELECT ModusNr, LBlock, EBlock, TSel, FormCbo, TageText, "
                            "Ladeschluss, Entladeschluss, SprachId FROM GeraeteModi "
                            "ORDER BY ModusNr");
    std::vector<int> numbers;
    for (const Row& m : modes) {
        numbers.push_back(std::stoi(m[0]));
        SCOPED_TRACE("mode " + m[0]);
        for (int c = 1; c <= 7; ++c)
            EXPECT_TRUE(m[c] == "0" || m[c] == "1") << "column " << c << " = " << m[c];
        const bool charge = m[1] == "1", discharge = m[2] == "1";
        EXPECT_TRUE(charge || discharge) << "a mode needs a current";
        // An end voltage is asked for exactly where its current is.
        EXPECT_EQ(m[6] == "1", charge);
        EXPECT_EQ(m[7] == "1", discharge);
        // Self-discharge tests, cycle counts and periods need both directions.
        if (m[3] == "1" || m[4] == "1" || m[5] == "1") {
            EXPECT_TRUE(charge && discharge);
        }
        for (const auto& language : usableLanguages())
            EXPECT_TRUE(texts(language).count(m[8])) << "no name in " << language;
    }
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(SeedTest, CycleCountsAreDistinctSingleDigitCodesSmallestFirst) {
    const auto counts = rows("SELECT SendeCode FROM FormierModi ORDER BY ID");
    ASSERT_FALSE(counts.empty());
    std::set<std::string> codes;
    for (const Row& r : counts) {
        EXPECT_TRUE(std::regex_match(r[0], std::regex("[0-9]"))) << r[0];
        EXPECT_TRUE(codes.insert(r[0]).second) << r[0] << " twice";
    }
    EXPECT_EQ(counts.front()[0], *codes.begin()) << "the list preselects the first row";
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
            ASSERT_TRUE(limit.count(rule.key)) << "row missing";
            const auto [min, max] = limit.at(rule.key);
            EXPECT_GT(min, 0.0);
            EXPECT_LT(min, max);
            EXPECT_LE(max, rule.ceiling);
        }
    }
}

// The diagram takes the step of the first row (in ID order) whose threshold is
// at least the number of values, else of the last row.
TEST_F(SeedTest, DiagramThinningKeepsAboutAThousandPointsUpToTenMillionValues) {
    std::vector<std::pair<double, double>> table;
    for (const Row& r : rows("SELECT Schwellwert, xteWert FROM DiagramPoints ORDER BY ID"))
        table.emplace_back(number(r[0]), number(r[1]));
    ASSERT_FALSE(table.empty());
    for (size_t i = 1; i < table.size(); ++i) {
        EXPECT_GT(table[i].first, table[i - 1].first) << "row " << i;
        EXPECT_GE(table[i].second, table[i - 1].second) << "row " << i;
    }
    ASSERT_GE(table.back().first, 1e7);
    const auto step = [&](double n) {
        for (const auto& [threshold, xte] : table)
            if (threshold >= n)
                return xte;
        return table.back().second;
    };
    std::vector<double> sweep;
    for (const auto& [threshold, xte] : table)
        sweep.insert(sweep.end(), {threshold, threshold + 1});
    for (double n = 5; n <= 1e7; n *= 1.01)
        sweep.push_back(std::floor(n));
    for (double n : sweep) {
        if (n > 1e7)
            continue;
        const double points = n / step(n);
        EXPECT_LE(points, 1100.0) << n << " values";
        if (n <= 500) {
            EXPECT_EQ(step(n), 1) << n << " values: short series are drawn completely";
        } else if (n >= 1000) {
            EXPECT_GE(points, 400.0) << n << " values give a coarse diagram";
        }
    }
}

TEST_F(SeedTest, SettingsHoldEveryKeyWithDefaultsThatAgreeWithTheTables) {
    auto s = settings();
    std::istringstream keys(
        "FirstStartup UsedLanguage UsedCharger ComPort ComDevice1 ComDevice2 ComDevice3 ComDevice4 "
        "Akku1Visible Akku2Visible Akku3Visible Akku4Visible P1ExtensionAvailable "
        "P4ExtensionAvailable ProgramExtensionAvaiable ProgramExtensionType SendAllVisible "
        "DefaultLadestrom DefaultEntladestrom DefaultEntladeschlussSpannung DefaultLadeende "
        "MaxAkkuBemerkung MaxMessBemerkung MinMaxSpannungVisible MinMaxStromVisible "
        "MinMaxKapazitaetVisible xGridVisible yGridVisible PrintingLook HeadArea PrintDate "
        "PrintingSubTitle");
    for (std::string key; keys >> key;)
        EXPECT_TRUE(s.count(key)) << "setting " << key << " missing";
    EXPECT_EQ(s["FirstStartup"], "YES");

    const auto languages = usableLanguages();
    EXPECT_NE(std::find(languages.begin(), languages.end(), s["UsedLanguage"]), languages.end());
    EXPECT_EQ(rows("SELECT 1 FROM Ladegeraete WHERE Geraetekuerzel = ?", s["UsedCharger"]).size(),
              1u);
    // Defaults replace a zero in a sent program: they must pass both families' checks.
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
