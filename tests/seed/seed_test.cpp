// The delivered master content (seed/master-schema.sql + seed/master-rows.sql),
// loaded into an in-memory database with the plain SQLite API: every text key
// the program asks for has a text in every usable language, the reference
// tables the editors read are complete and agree with each other and with the
// charger's wire format, and the settings rows cover every key the program reads.
#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

using Row = std::vector<std::optional<std::string>>;

class SeedDb {
public:
    SeedDb() {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK) {
            error_ = "cannot open an in-memory database";
            return;
        }
        for (const char* file : {"seed/master-schema.sql", "seed/master-rows.sql"}) {
            const fs::path path = sourceDir() / file;
            if (!fs::exists(path)) {
                error_ = "missing " + path.string();
                return;
            }
            char* message = nullptr;
            if (sqlite3_exec(db_, readFile(path).c_str(), nullptr, nullptr, &message) !=
                SQLITE_OK) {
                error_ = std::string(file) + ": " + (message ? message : "?");
                sqlite3_free(message);
                return;
            }
        }
    }
    ~SeedDb() { sqlite3_close(db_); }
    SeedDb(const SeedDb&) = delete;
    SeedDb& operator=(const SeedDb&) = delete;

    const std::string& error() const { return error_; }

    std::vector<Row> rows(const std::string& sql, const std::vector<std::string>& args = {}) {
        std::vector<Row> result;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "cannot prepare " << sql << ": " << sqlite3_errmsg(db_);
            return result;
        }
        for (size_t i = 0; i < args.size(); ++i)
            sqlite3_bind_text(stmt, static_cast<int>(i + 1), args[i].c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_NULL)
                    row.emplace_back(std::nullopt);
                else
                    row.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
            }
            result.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return result;
    }

    std::optional<std::string> text(const std::string& key, const std::string& language) {
        const auto found = rows("SELECT ResourceText FROM NLSResources "
                                "WHERE ResourceID = ? AND SprachCode = ?",
                                {key, language});
        if (found.empty())
            return std::nullopt;
        return found.front().front().value_or(std::string());
    }

    std::vector<std::string> usableLanguages() {
        std::vector<std::string> codes;
        for (const auto& row : rows("SELECT SprachCode FROM Sprachen WHERE Usable = 1"))
            codes.push_back(row[0].value_or(""));
        return codes;
    }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

class SeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(sourceDir().empty()) << "VELMARA_SOURCE_DIR is not set";
        ASSERT_TRUE(db.error().empty()) << db.error();
    }
    SeedDb db;
};

// Four-digit literals in the sources that are numbers, not text keys.
// "9600" is the baud rate of the charger link.
const std::set<std::string> kNotTextKeys = {"9600"};

std::set<std::string> keysUsedInSources() {
    std::set<std::string> keys;
    const std::regex literal("\"([0-9]{4})\"");
    const fs::path src = sourceDir() / "src";
    if (!fs::exists(src))
        return keys;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        const std::string code = readFile(entry.path());
        for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it) {
            const std::string key = (*it)[1].str();
            if (!kNotTextKeys.count(key))
                keys.insert(key);
        }
    }
    return keys;
}

std::set<std::string> requiredKeys() {
    std::set<std::string> keys;
    std::istringstream lines(readFile(sourceDir() / "seed/required-keys.txt"));
    const std::regex keyLine("[0-9]{4}");
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        EXPECT_TRUE(std::regex_match(line, keyLine)) << "not a key: '" << line << "'";
        keys.insert(line);
    }
    return keys;
}

// NaN for a missing or non-numeric value, so that every comparison with it fails.
double number(const std::optional<std::string>& value) {
    if (!value)
        return std::nan("");
    try {
        return std::stod(*value);
    } catch (const std::exception&) {
        return std::nan("");
    }
}

// ---------------------------------------------------------------- texts

TEST_F(SeedTest, EveryKeyTheProgramAsksForHasATextInEveryUsableLanguage) {
    const auto required = requiredKeys();
    ASSERT_GT(required.size(), 250u) << "seed/required-keys.txt looks truncated";
    std::set<std::string> keys = required;
    const auto used = keysUsedInSources();
    keys.insert(used.begin(), used.end());

    const auto languages = db.usableLanguages();
    ASSERT_GE(languages.size(), 2u);
    for (const auto& language : languages) {
        for (const auto& key : keys) {
            const auto text = db.text(key, language);
            if (!text)
                ADD_FAILURE() << "key " << key << " has no text in '" << language << "'"
                              << (required.count(key) ? "" : " (used in src/)");
            else
                EXPECT_FALSE(trimmed(*text).empty())
                    << "key " << key << " is empty in '" << language << "'";
        }
    }
}

TEST_F(SeedTest, EveryLanguageTranslatesTheSameKeysAndNoTextIsBlank) {
    const auto languages = db.usableLanguages();
    std::map<std::string, std::set<std::string>> keysOf;
    for (const auto& row :
         db.rows("SELECT ResourceID, SprachCode, ResourceText FROM NLSResources")) {
        const std::string key = row[0].value_or("");
        const std::string language = row[1].value_or("");
        keysOf[language].insert(key);
        EXPECT_TRUE(std::regex_match(key, std::regex("[0-9]{4}"))) << "odd key '" << key << "'";
        EXPECT_FALSE(trimmed(row[2].value_or("")).empty()) << key << "/" << language;
    }
    for (const auto& language : languages)
        for (const auto& other : languages)
            for (const auto& key : keysOf[language])
                EXPECT_TRUE(keysOf[other].count(key)) << "key " << key << " exists in '" << language
                                                      << "' but not in '" << other << "'";
}

TEST_F(SeedTest, EveryLanguageIsNamedInEveryUsableLanguage) {
    const auto languages = db.usableLanguages();
    for (const auto& row : db.rows("SELECT SprachCode, SprachResID FROM Sprachen")) {
        for (const auto& language : languages) {
            const auto name = db.text(row[1].value_or(""), language);
            ASSERT_TRUE(name) << row[0].value_or("") << " has no name in " << language;
            EXPECT_FALSE(trimmed(*name).empty());
        }
    }
    // The language list shows one entry per usable language, whatever the
    // current language is (a duplicate text row would double an entry).
    for (const auto& language : languages) {
        const auto list = db.rows("SELECT Sprachen.SprachCode, NLSResources.ResourceText "
                                  "FROM Sprachen, NLSResources "
                                  "WHERE Sprachen.SprachResID = NLSResources.ResourceID "
                                  "AND Sprachen.Usable=1 AND NLSResources.SprachCode=?",
                                  {language});
        EXPECT_EQ(list.size(), languages.size()) << language;
    }
}

// A message is built as: piece a, blank, number, piece b, blank, number, piece c.
// The number follows a blank that the program adds, so piece a must not end in
// one; pieces b and c directly follow a number and must start with one.
struct LimitMessage {
    const char* a;
    const char* b;
    const char* c;
};

TEST_F(SeedTest, LimitMessagePiecesJoinIntoReadableSentences) {
    const std::vector<LimitMessage> messages = {
        {"0959", "0964", "0965"}, {"0961", "0964", "0965"}, {"0954", "0955", "0956"},
        {"0957", "0955", "0956"}, {"0958", "0966", "0967"}, {"0960", "0970", "0971"},
        {"0962", "0968", "0969"}, {"0963", "0970", "0971"}, {"7050", "7051", "7052"},
    };
    for (const auto& language : db.usableLanguages()) {
        for (const auto& m : messages) {
            const std::string a = db.text(m.a, language).value_or("");
            const std::string b = db.text(m.b, language).value_or("");
            const std::string c = db.text(m.c, language).value_or("");
            const std::string joined = a + " 1" + b + " 2" + c;
            SCOPED_TRACE(language + ": " + joined);
            ASSERT_FALSE(a.empty());
            EXPECT_NE(a.back(), ' ');
            ASSERT_FALSE(b.empty());
            EXPECT_EQ(b.front(), ' ');
            EXPECT_NE(b.back(), ' ');
            ASSERT_FALSE(c.empty());
            EXPECT_TRUE(c.front() == ' ' || c.front() == '.') << "piece c must follow a number";
            EXPECT_EQ(joined.find("  "), std::string::npos);
            EXPECT_EQ(joined.back(), '.');
        }
    }
}

TEST_F(SeedTest, MenuAcceleratorsAreKeptInEveryLanguage) {
    const auto languages = db.usableLanguages();
    for (const auto& row : db.rows("SELECT ResourceID FROM NLSResources WHERE SprachCode = 'de' "
                                   "AND ResourceID BETWEEN '1000' AND '1088'")) {
        const std::string key = row[0].value_or("");
        const auto german = db.text(key, "de").value_or("");
        const bool hasAccelerator = german.find('&') != std::string::npos;
        for (const auto& language : languages) {
            const auto text = db.text(key, language).value_or("");
            const auto count = std::count(text.begin(), text.end(), '&');
            EXPECT_EQ(count, hasAccelerator ? 1 : 0) << key << " in " << language << ": " << text;
        }
    }
}

// The report printing recognises the forming mode by its exact name.
TEST_F(SeedTest, FormingModeHasTheNameThePrintingLooksFor) {
    const auto rows = db.rows("SELECT NLSResources.SprachCode, NLSResources.ResourceText "
                              "FROM GeraeteModi, NLSResources "
                              "WHERE GeraeteModi.SprachId = NLSResources.ResourceID "
                              "AND GeraeteModi.ModusNr = 7");
    std::map<std::string, std::string> names;
    for (const auto& row : rows)
        names[row[0].value_or("")] = row[1].value_or("");
    EXPECT_EQ(names["de"], "Formieren");
    EXPECT_EQ(names["en"], "Conditioning");
}

// ---------------------------------------------------------------- reference tables

TEST_F(SeedTest, BothChargerModelsAreOffered) {
    std::set<std::string> codes;
    for (const auto& row : db.rows("SELECT Geraetekuerzel, Geraetebezeichnung FROM Ladegeraete")) {
        codes.insert(row[0].value_or(""));
        EXPECT_FALSE(trimmed(row[1].value_or("")).empty());
    }
    EXPECT_EQ(codes, (std::set<std::string>{"QMT1", "QMT4"}));
}

// The editors' queries, as the program builds them (booleans as 1).
std::string batteryTypeQuery(const std::string& family, const std::string& language) {
    return "SELECT Akkutypen.Nr, Akkutypen.Nennspannung, Akkutypen.Zmin" + family +
           " AS ZMin, Akkutypen.Zmax" + family +
           " AS ZMax, NLSResources.ResourceText FROM Akkutypen, NLSResources "
           "WHERE Akkutypen.SprachId=NLSResources.ResourceID AND Akkutypen.Usable=1 "
           "AND NLSResources.SprachCode='" +
           language + "' ORDER BY NLSResources.ResourceText ASC;";
}

std::string deviceModeQuery(const std::string& language) {
    return "SELECT GeraeteModi.ModusNr,GeraeteModi.LBlock, GeraeteModi.EBlock, "
           "GeraeteModi.TSel, GeraeteModi.FormCbo, GeraeteModi.TageText, "
           "GeraeteModi.Ladeschluss, GeraeteModi.Entladeschluss, NLSResources.ResourceText "
           "FROM GeraeteModi,NLSResources WHERE GeraeteModi.SprachId=NLSResources.ResourceID "
           "AND NLSResources.SprachCode='" +
           language + "';";
}

std::string limitsQuery(const std::string& family) {
    return "SELECT Bez, Kommentar, Min" + family + " as Min, Max" + family +
           " as Max FROM MinMaxWerte;";
}

const std::vector<std::pair<std::string, std::string>> kFamilies = {{"QMT1", "Qmt1"},
                                                                    {"QMT4", "Qmt4"}};

std::map<std::string, std::pair<double, double>> limitsOf(SeedDb& db, const std::string& family) {
    std::map<std::string, std::pair<double, double>> limits;
    for (const auto& row : db.rows(limitsQuery(family)))
        limits[row[0].value_or("")] = {number(row[2]), number(row[3])};
    return limits;
}

TEST_F(SeedTest, BatteryTypesAreValidChargerTypesWithCellRangesThatFitTheLimits) {
    const auto types = db.rows("SELECT Nr, Nennspannung, ZminQMT1, ZmaxQMT1, ZminQMT4, ZmaxQMT4, "
                               "SprachId, Usable FROM Akkutypen");
    ASSERT_FALSE(types.empty());
    std::set<std::string> names;
    for (const auto& t : types) {
        const int nr = std::stoi(t[0].value_or("0"));
        SCOPED_TRACE("battery type " + std::to_string(nr));
        // The program field A carries 1-4 and 6-8; 5 means preset voltages.
        EXPECT_NE(nr, 5);
        EXPECT_TRUE(nr >= 1 && nr <= 8);
        const double cellVolts = number(t[1]);
        EXPECT_GT(cellVolts, 0.9);
        EXPECT_LT(cellVolts, 4.5);
        EXPECT_TRUE(names.insert(t[6].value_or("")).second) << "name key shared";
        EXPECT_EQ(t[7].value_or(""), "1");
        const int zmin1 = std::stoi(t[2].value_or("0")), zmax1 = std::stoi(t[3].value_or("0"));
        const int zmin4 = std::stoi(t[4].value_or("0")), zmax4 = std::stoi(t[5].value_or("0"));
        EXPECT_GE(zmin1, 1);
        EXPECT_LE(zmin1, zmax1);
        EXPECT_GE(zmin4, 1);
        EXPECT_LE(zmin4, zmax4);
        EXPECT_LE(zmax4, zmax1) << "the four-channel model takes smaller packs";
        // The nominal voltage of the largest pack goes out in a five-digit mV field
        // and must pass the voltage limit of its family.
        EXPECT_LE(cellVolts * zmax1, 60.0);
        EXPECT_LE(cellVolts * zmax1, limitsOf(db, "Qmt1")["05"].second);
        EXPECT_LE(cellVolts * zmax4, limitsOf(db, "Qmt4")["05"].second);
    }
    for (const auto& language : db.usableLanguages())
        for (const auto& [family, column] : kFamilies)
            EXPECT_EQ(db.rows(batteryTypeQuery(family, language)).size(), types.size())
                << family << "/" << language << ": a type lacks its name";
}

TEST_F(SeedTest, DeviceModesCoverTheChargerModesWithConsistentFields) {
    const auto modes = db.rows("SELECT ModusNr, LBlock, EBlock, TSel, FormCbo, TageText, "
                               "Ladeschluss, Entladeschluss FROM GeraeteModi ORDER BY ModusNr");
    std::vector<int> numbers;
    for (const auto& m : modes) {
        const int nr = std::stoi(m[0].value_or("0"));
        numbers.push_back(nr);
        SCOPED_TRACE("mode " + std::to_string(nr));
        std::map<std::string, bool> flag;
        const char* names[] = {"",        "LBlock",   "EBlock",      "TSel",
                               "FormCbo", "TageText", "Ladeschluss", "Entladeschluss"};
        for (int c = 1; c <= 7; ++c) {
            const std::string v = m[c].value_or("");
            EXPECT_TRUE(v == "0" || v == "1") << names[c] << " = " << v;
            flag[names[c]] = v == "1";
        }
        EXPECT_TRUE(flag["LBlock"] || flag["EBlock"]) << "a mode needs a current";
        // An end voltage is asked for exactly where its current is.
        EXPECT_EQ(flag["Ladeschluss"], flag["LBlock"]);
        EXPECT_EQ(flag["Entladeschluss"], flag["EBlock"]);
        // Self-discharge tests, cycle counts and periods need charging and discharging.
        if (flag["TSel"] || flag["FormCbo"] || flag["TageText"]) {
            EXPECT_TRUE(flag["LBlock"]);
            EXPECT_TRUE(flag["EBlock"]);
        }
    }
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    // Only storage asks for a period; cycling and forming ask for the cycle count.
    EXPECT_EQ(db.rows("SELECT ModusNr FROM GeraeteModi WHERE TageText = 1").size(), 1u);
    EXPECT_EQ(db.rows("SELECT ModusNr FROM GeraeteModi WHERE TageText = 1 AND ModusNr = 6").size(),
              1u);
    EXPECT_EQ(
        db.rows("SELECT ModusNr FROM GeraeteModi WHERE FormCbo = 1 AND ModusNr IN (5, 7)").size(),
        2u);
    for (const auto& language : db.usableLanguages())
        EXPECT_EQ(db.rows(deviceModeQuery(language)).size(), modes.size())
            << language << ": a mode lacks its name";
}

TEST_F(SeedTest, CycleCountsAreSingleDigitCodesInListOrder) {
    const auto rows = db.rows("SELECT ID, Modus, SendeCode FROM FormierModi ORDER BY ID");
    ASSERT_FALSE(rows.empty());
    std::set<int> codes;
    for (const auto& r : rows) {
        EXPECT_FALSE(trimmed(r[1].value_or("")).empty());
        const std::string code = r[2].value_or("");
        ASSERT_TRUE(std::regex_match(code, std::regex("[0-9]"))) << "SendeCode " << code;
        EXPECT_TRUE(codes.insert(std::stoi(code)).second) << "SendeCode " << code << " twice";
    }
    // The list shows the first row by default: it must be the smallest count.
    EXPECT_EQ(std::stoi(rows.front()[2].value_or("")), *codes.begin());
}

struct LimitRule {
    const char* key;
    double floor;       // smallest sensible minimum
    double ceilingQmt1; // what the charger or the wire field can take
    double ceilingQmt4;
    bool wholeNumber;
};

TEST_F(SeedTest, LimitRowsExistForEveryCheckedFieldAndFitTheCharger) {
    const std::vector<LimitRule> rules = {
        {"05", 0.1, 60.0, 60.0, false},      // volts, five-digit mV field, charger takes 60 V
        {"E", 0.05, 10.0, 5.0, false},       // amperes, 50 mA up to the model's maximum
        {"L", 0.05, 10.0, 5.0, false},       // amperes
        {"K", 0.001, 99.999, 99.999, false}, // Ah, five-digit mAh field
        {"N", 1, 99, 99, true},              // whole percent, sent in tenths as three digits
        {"P", 1, 100, 100, true},            // percent of the target capacity
        {"W", 1, 99, 99, true},              // days, two-digit field
        {"YH", 1, 999, 999, true},           // hours, three-digit field
        {"YD", 1, 999, 999, true},           // days, three-digit field
    };
    for (const auto& [family, column] : kFamilies) {
        auto limits = limitsOf(db, column);
        for (const auto& rule : rules) {
            SCOPED_TRACE(family + " row " + rule.key);
            ASSERT_TRUE(limits.count(rule.key)) << "row missing";
            const auto [min, max] = limits[rule.key];
            EXPECT_LT(min, max);
            EXPECT_GE(min, rule.floor);
            EXPECT_LE(max, family == "QMT1" ? rule.ceilingQmt1 : rule.ceilingQmt4);
            if (rule.wholeNumber) {
                EXPECT_EQ(min, std::floor(min));
                EXPECT_EQ(max, std::floor(max));
            }
        }
    }
    for (const auto& row : db.rows("SELECT Bez, Kommentar FROM MinMaxWerte"))
        EXPECT_FALSE(trimmed(row[1].value_or("")).empty()) << row[0].value_or("");
}

// The diagram walks the rows in ID order and takes the first row whose
// threshold is at least the number of values, or else the last row.
int64_t stepFor(const std::vector<std::pair<int64_t, int64_t>>& table, int64_t n) {
    for (const auto& [threshold, step] : table)
        if (threshold >= n)
            return step;
    return table.back().second;
}

TEST_F(SeedTest, DiagramThinningKeepsAboutAThousandPointsUpToTenMillionValues) {
    std::vector<std::pair<int64_t, int64_t>> table;
    for (const auto& r : db.rows("SELECT Schwellwert, xteWert FROM DiagramPoints ORDER BY ID"))
        table.emplace_back(std::stoll(r[0].value_or("0")), std::stoll(r[1].value_or("0")));
    ASSERT_FALSE(table.empty());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_GE(table[i].second, 1) << "row " << i;
        if (i > 0) {
            EXPECT_GT(table[i].first, table[i - 1].first) << "row " << i;
            EXPECT_GE(table[i].second, table[i - 1].second) << "row " << i;
        }
    }
    EXPECT_GE(table.back().first, 10'000'000);

    // Short series are drawn completely.
    for (int64_t n : {5, 50, 500})
        EXPECT_EQ(stepFor(table, n), 1) << n;
    // The worst case of a row is its own threshold; check those, the values
    // right after them, and a dense logarithmic sweep.
    std::vector<int64_t> sweep;
    for (const auto& [threshold, step] : table) {
        sweep.push_back(threshold);
        sweep.push_back(threshold + 1);
    }
    for (double n = 5; n <= 10'000'000; n *= 1.01)
        sweep.push_back(static_cast<int64_t>(n));
    sweep.push_back(10'000'000);
    for (int64_t n : sweep) {
        if (n > 10'000'000)
            continue;
        const double points = static_cast<double>(n) / static_cast<double>(stepFor(table, n));
        EXPECT_LE(points, 1100.0) << n << " values";
        if (n >= 1000) {
            EXPECT_GE(points, 400.0) << n << " values give a coarse diagram";
        }
    }
}

// ---------------------------------------------------------------- settings

TEST_F(SeedTest, SettingsHoldEveryKeyTheProgramReadsOrWrites) {
    const std::vector<std::string> keys = {
        "FirstStartup",
        "UsedLanguage",
        "UsedCharger",
        "ComPort",
        "ComDevice1",
        "ComDevice2",
        "ComDevice3",
        "ComDevice4",
        "Akku1Visible",
        "Akku2Visible",
        "Akku3Visible",
        "Akku4Visible",
        "P1ExtensionAvailable",
        "P4ExtensionAvailable",
        "ProgramExtensionAvaiable",
        "ProgramExtensionType",
        "SendAllVisible",
        "DefaultLadestrom",
        "DefaultEntladestrom",
        "DefaultEntladeschlussSpannung",
        "DefaultLadeende",
        "MaxAkkuBemerkung",
        "MaxMessBemerkung",
        "MinMaxSpannungVisible",
        "MinMaxStromVisible",
        "MinMaxKapazitaetVisible",
        "xGridVisible",
        "yGridVisible",
        "PrintingLook",
        "HeadArea",
        "PrintDate",
        "PrintingSubTitle",
    };
    std::map<std::string, std::string> settings;
    for (const auto& row : db.rows("SELECT \"key\", \"value\" FROM Optionen"))
        settings[row[0].value_or("")] = row[1].value_or("");
    for (const auto& key : keys)
        EXPECT_TRUE(settings.count(key)) << "setting " << key << " missing";

    EXPECT_EQ(settings["FirstStartup"], "YES");
    for (const char* key :
         {"Akku1Visible", "Akku2Visible", "Akku3Visible", "Akku4Visible", "P1ExtensionAvailable",
          "P4ExtensionAvailable", "ProgramExtensionAvaiable", "SendAllVisible",
          "MinMaxSpannungVisible", "MinMaxStromVisible", "MinMaxKapazitaetVisible", "xGridVisible",
          "yGridVisible", "PrintDate"})
        EXPECT_TRUE(settings[key] == "YES" || settings[key] == "NO") << key;
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(settings["ComDevice" + std::to_string(n)].rfind("/dev/", 0), 0u);
    EXPECT_TRUE(std::regex_match(settings["ComPort"], std::regex("[1-4]")));
}

TEST_F(SeedTest, DefaultSettingsAgreeWithTheOtherTables) {
    std::map<std::string, std::string> settings;
    for (const auto& row : db.rows("SELECT \"key\", \"value\" FROM Optionen"))
        settings[row[0].value_or("")] = row[1].value_or("");

    const auto languages = db.usableLanguages();
    EXPECT_NE(std::find(languages.begin(), languages.end(), settings["UsedLanguage"]),
              languages.end());
    EXPECT_EQ(
        db.rows("SELECT 1 FROM Ladegeraete WHERE Geraetekuerzel = ?", {settings["UsedCharger"]})
            .size(),
        1u);
    // Defaults replace a zero in a sent program; they must pass the field checks
    // of both charger families.
    const double chargeA = number(settings["DefaultLadestrom"]) / 1000.0;
    const double dischargeA = number(settings["DefaultEntladestrom"]) / 1000.0;
    const double endVolts = number(settings["DefaultEntladeschlussSpannung"]) / 1000.0;
    const double endPercent = number(settings["DefaultLadeende"]) / 10.0;
    for (const auto& [family, column] : kFamilies) {
        auto limits = limitsOf(db, column);
        SCOPED_TRACE(family);
        EXPECT_GE(chargeA, limits["L"].first);
        EXPECT_LE(chargeA, limits["L"].second);
        EXPECT_GE(dischargeA, limits["E"].first);
        EXPECT_LE(dischargeA, limits["E"].second);
        EXPECT_GE(endVolts, limits["05"].first);
        EXPECT_LE(endVolts, limits["05"].second);
        EXPECT_GE(endPercent, limits["N"].first);
        EXPECT_LE(endPercent, limits["N"].second);
    }
    EXPECT_GT(number(settings["MaxAkkuBemerkung"]), 0.0);
    EXPECT_GT(number(settings["MaxMessBemerkung"]), 0.0);
    EXPECT_GT(number(settings["HeadArea"]), 0.0);
}

} // namespace
