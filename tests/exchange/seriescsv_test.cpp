// Series as CSV text: the exact bytes written, and what a reader refuses.
#include "data/valuestrings.h"
#include "exchange/core/seriescsv.h"

#include <gtest/gtest.h>

namespace velmara::test {
namespace {

// Values as the user file stores them, end values last.
SeriesFile knownSeries() {
    SeriesFile s;
    s.batteryName = "Eneloop; AA";
    s.batteryRemark = QStringLiteral("bought \"2025\" in Köln");
    s.seriesNumber = 2;
    s.created = "2026-03-01T10:30:00";
    s.remark = "first\nrun";
    s.program = "001,3,4,1500";
    s.mode = "Laden";
    for (const char* v :
         {"0;1234;1500;0", "37;1300;-1500;89", "38;1301;1499;91", "1250;7140;1500;3600"})
        s.values << parseValueString(v, false);
    // The last one of a kind as the charger reported it.
    for (const char* v :
         {"2;2100;1452;7200;7100;F;80", "3;1900;1000;9000;1800;0", "-1;1900;1000;9100;100;-1"})
        s.values << parseValueString(v, true);
    return s;
}

// The stored texts of values read back field for field (the file's columns show
// which field is which); damaged texts are refused.
TEST(SeriesCsv, StoredValueTextsReadBackUnchanged) {
    const struct {
        const char* text;
        bool endValue, valid;
    } cases[] = {
        {"1250;7140;1500;3600", false, true},
        {"-5;-7;0;-2147483648", false, true},
        {"3;950;6000;60;75", true, true},
        {"3;950;6000;60;75;T;95;12", true, true},
        {"3;950;6000;60;75;F;80", true, true},
        {"3;950;6000;60;75;7", true, true},
        {"1250;7140;1500", false, false},
        {"1250;7140;x;3600", false, false},
        {"1250;7140;1500;2147483648", false, false},
        {"3;950;6000;60", true, false},
        {"40000;950;6000;60;75", true, false},
        {"3;950;6000;60;75;X;5", true, false},
    };
    for (const auto& c : cases) {
        const LoadedMeasurementValue v = parseValueString(c.text, c.endValue);
        EXPECT_EQ(v.isEndValue, c.endValue) << c.text;
        EXPECT_EQ(v.bValid, c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(valueStringOf(v), c.text);
        }
    }
}

TEST(SeriesCsv, WritesKnownSeriesByteForByte) {
    const QByteArray semicolon = "\xEF\xBB\xBF" // UTF-8 byte-order mark
                                 "velmara series;1\n"
                                 "Battery;\"Eneloop; AA\"\n"
                                 "Battery remark;\"bought \"\"2025\"\" in K\xC3\xB6ln\"\n" // UTF-8
                                 "Series;2\n"
                                 "Date;2026-03-01T10:30:00\n"
                                 "Remark;\"first\nrun\"\n"
                                 "Program;001,3,4,1500\n"
                                 "Mode;Laden\n"
                                 "Time [s];Time [min];Voltage [V];Current [A];Capacity [Ah];"
                                 "End value;Duration [s];Battery state;Percent;"
                                 "Self-discharge [mAh]\n"
                                 "0;0,00;1,234;1,500;0,000;;;;;\n"
                                 "89;1,48;1,300;-1,500;0,037;;;;;\n"
                                 "91;1,52;1,301;1,499;0,038;;;;;\n"
                                 "3600;60,00;7,140;1,500;1,250;;;;;\n"
                                 "7200;120,00;1,452;;2,100;2;7100;F;80;\n"
                                 "9000;150,00;1,000;;1,900;3;1800;;;0\n"
                                 "9100;151,67;1,000;;1,900;-1;100;;;-1\n";
    EXPECT_EQ(writeSeriesCsv(knownSeries(), {u';', u','}), semicolon);
}

TEST(SeriesCsv, ReadsBackWhatItWroteInEveryFormat) {
    const SeriesFile s = knownSeries();
    for (const CsvFormat format :
         {CsvFormat{u';', u','}, CsvFormat{u',', u'.'}, CsvFormat{u'\t', u','},
          CsvFormat{u';', u'.'}, CsvFormat{u';', u',', CsvLanguage::German}}) {
        const QByteArray bytes = writeSeriesCsv(s, format);
        const CsvReadResult read = readSeriesCsv(bytes);
        ASSERT_TRUE(read.series) << bytes.toStdString();
        EXPECT_EQ(writeSeriesCsv(*read.series, format), bytes);
        ASSERT_EQ(read.series->values.size(), 7);
        EXPECT_EQ(valueStringOf(read.series->values[3]), "1250;7140;1500;3600");
        EXPECT_EQ(valueStringOf(read.series->values[4]), "2;2100;1452;7200;7100;F;80");
        EXPECT_EQ(valueStringOf(read.series->values[5]), "3;1900;1000;9000;1800;0");
        EXPECT_EQ(valueStringOf(read.series->values[6]), "-1;1900;1000;9100;100;-1");
    }
}

// A text a spreadsheet would evaluate is written behind an apostrophe and read
// back exactly; so is a text that begins with an apostrophe itself.
TEST(SeriesCsv, FormulaTextsAreNeutralisedAndReadBackExactly) {
    const struct {
        QString text;
        QByteArray cell;
    } cases[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+49 171", "'+49 171"},
        {"-5 C", "'-5 C"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tcmd", "'\tcmd"},
        {"\rcmd", "\"'\rcmd\""},
        {"'kept", "''kept"},
        {"a=b", "a=b"},
    };
    for (const auto& c : cases) {
        SeriesFile s = knownSeries();
        s.batteryName = s.remark = s.program = s.mode = c.text;
        const QByteArray bytes = writeSeriesCsv(s, {u';', u','});
        EXPECT_TRUE(bytes.contains("\nRemark;" + c.cell + "\n")) << bytes.toStdString();
        const CsvReadResult read = readSeriesCsv(bytes);
        ASSERT_TRUE(read.series) << c.cell.toStdString();
        const QStringList fields{read.series->batteryName, read.series->remark,
                                 read.series->program, read.series->mode};
        EXPECT_EQ(fields, QStringList(4, c.text));
    }
}

// The lines before the values of a series of battery "A".
const char* const kHead = "velmara series;1\nBattery;A\nBattery remark;\nSeries;1\n"
                          "Date;\nRemark;\nProgram;\nMode;\n"
                          "Time [s];Time [min];Voltage [V];Current [A];Capacity [Ah];"
                          "End value;Duration [s];Battery state;Percent;"
                          "Self-discharge [mAh]\n";

// Files as spreadsheets save them again: with or without the byte-order mark,
// CRLF, short rows padded with empty fields, blank rows at the end.
TEST(SeriesCsv, ReadsWhatSpreadsheetsSaveAgain) {
    QByteArray padded;
    for (const QByteArray& line : QByteArray(kHead).split('\n'))
        if (!line.isEmpty())
            padded += line + QByteArray(9 - line.count(';'), ';') + "\r\n";
    const QByteArray german = "velmara Messreihe;1\nAkku;A\nAkku-Bemerkung;\nMessreihe;1\n"
                              "Datum;2026-03-01T10:30\nBemerkung;\nProgramm;\nMode;\n"
                              "Zeit [s];Zeit [min];Spannung [V];Strom [A];Kapazit\xC3\xA4t [Ah];"
                              "Endwert;Dauer [s];Akkuzustand;Prozent;Selbstentladung [mAh]\n";
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"mark, CRLF, blank lines", "\xEF\xBB\xBF" + QByteArray(kHead).replace("\n", "\r\n") +
                                        "5;0,08;1,2;-0,5;0;;;;;\r\n\r\n\r\n"},
        {"padded rows", padded + "5;0,08;1,2;-0,5;0;;;;;\r\n;;;;;;;;;\r\n"},
        {"German header block", german + "5;0,08;1,2;-0,5;0;;;;;"},
    };
    for (const auto& c : cases) {
        const CsvReadResult read = readSeriesCsv(c.bytes);
        ASSERT_TRUE(read.series) << c.what << " refused in line " << read.refusal.line;
        ASSERT_EQ(read.series->values.size(), 1) << c.what;
        EXPECT_EQ(valueStringOf(read.series->values[0]), "0;1200;-500;5") << c.what;
    }
}

TEST(SeriesCsv, RefusesWhatIsNotAnExportedSeries) {
    using R = CsvRefusal::Reason;
    const QByteArray head = kHead;
    const struct {
        const char* what;
        QByteArray bytes;
        R reason;
        int line;
    } cases[] = {
        {"empty", "", R::NotSeriesFile, 1},
        {"plain csv", "a;b;c\n1;2;3\n", R::NotSeriesFile, 1},
        {"other version", "velmara series;2\n", R::NotSeriesFile, 1},
        {"latin-1",
         "velmara series;1\nBattery;Gr\xF6\xDF"
         "e\n",
         R::NotUtf8, 2},
        {"German and English mixed",
         QByteArray(head).replace("velmara series", "velmara Messreihe"), R::BadHeader, 2},
        {"date of a spreadsheet", QByteArray(head).replace("Date;", "Date;01.03.2026 10:30"),
         R::BadDate, 5},
        {"NUL in the name", QByteArray(head).replace("Battery;A", QByteArray("Battery;A\0B", 11)),
         R::ControlCharacter, 2},
        {"escape in the remark", QByteArray(head).replace("Remark;", "Remark;\x1b[2J"),
         R::ControlCharacter, 6},
        {"header cut short", "velmara series;1\nBattery;A\n", R::BadHeader, 3},
        {"header key renamed", QByteArray(head).replace("Mode;", "Modus;"), R::BadHeader, 8},
        {"series number", QByteArray(head).replace("Series;1", "Series;x"), R::BadHeader, 4},
        {"column renamed", QByteArray(head).replace("Percent", "Prozent"), R::BadHeader, 9},
        {"no column row", QByteArray(head).left(head.indexOf("Time [s]")), R::BadHeader, 9},
        {"too few fields", head + "0;0;1;1;0;;;;\n", R::BadRow, 10},
        {"four decimals", head + "0;0;1,2345;1;0;;;;;\n", R::BadRow, 10},
        {"not a number", head + "0;0;1;abc;0;;;;;\n", R::BadRow, 10},
        {"beyond 32 bits", head + "99999999999;0;1;1;0;;;;;\n", R::BadRow, 10},
        {"ordinary with duration", head + "0;0;1;1;0;;5;;;\n", R::BadRow, 10},
        {"end value with current", head + "0;0;1;1;0;2;5;;;\n", R::BadRow, 10},
        {"end value without duration", head + "0;0;1;;0;2;;;;\n", R::BadRow, 10},
        {"state letter", head + "0;0;1;;0;2;5;t;80;\n", R::BadRow, 10},
        {"percent without state", head + "0;0;1;;0;2;5;;80;\n", R::BadRow, 10},
        {"kind beyond 16 bits", head + "0;0;1;;0;32768;5;;;\n", R::BadRow, 10},
        {"second row", head + "0;0;1;1;0;;;;;\n1;0;x;1;0;;;;;\n", R::BadRow, 11},
        {"blank line between", head + "0;0;1;1;0;;;;;\n\n1;0;1;1;0;;;;;\n", R::BadRow, 11},
        {"open quote", head + "\"0;0;1;1;0;;;;;\n", R::BadRow, 10},
    };
    for (const auto& c : cases) {
        const CsvReadResult read = readSeriesCsv(c.bytes);
        EXPECT_FALSE(read.series) << c.what;
        EXPECT_EQ(read.refusal.reason, c.reason) << c.what;
        EXPECT_EQ(read.refusal.line, c.line) << c.what;
    }
}

TEST(SeriesCsv, FormatOfEachSeparatorChoice) {
    const QLocale de(QLocale::German, QLocale::Germany);
    const auto format = [](SeparatorChoice choice, const QLocale& locale) {
        const CsvFormat f = csvFormatFor(choice, locale);
        return QString(f.separator) + f.decimal;
    };
    EXPECT_EQ(format(SeparatorChoice::Locale, de), ";,");
    EXPECT_EQ(format(SeparatorChoice::Locale, QLocale(QLocale::English, QLocale::UnitedStates)),
              ",.");
    EXPECT_EQ(format(SeparatorChoice::Comma, de), ",.");
    EXPECT_EQ(format(SeparatorChoice::Tab, de), "\t,");
}

TEST(SeriesCsv, FileNamesHoldNoPathCharacters) {
    EXPECT_EQ(seriesFileName("Eneloop AA", 3), "Eneloop AA - 3.csv");
    EXPECT_EQ(seriesFileName("../a/b:c", 1), "_.._a_b_c - 1.csv");
    EXPECT_EQ(seriesFileName("  ", 2), "_ - 2.csv");
}

} // namespace
} // namespace velmara::test
