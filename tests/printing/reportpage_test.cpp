// The channel report and the diagram page printed into PDF files and read back
// with pdftotext, the page layout, and the report's texts.
#include "pdfwords.h"
#include "printing/core/reportprint.h"
#include "printing/core/reporttexts.h"
#include "support/temp_folder.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmara;
using velmara::test::kPointsPerMm;
using velmara::test::PdfText;

namespace {

// One line of the lists: unique words so that each can be found again.
QStringList entries(const char* prefix, int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(i);
    return out;
}

ChannelReportInput baseInput() {
    ChannelReportInput in;
    in.title = "Reporttitle";
    in.settings.subTitle = "Subtitleword";
    in.chargeCurrentLabel = "Chargecurrentlabel";
    in.dischargeCurrentLabel = "Dischargecurrentlabel";
    ReportWindowData& w = in.window;
    w.frameAkkuprogramm = "Programframe";
    w.frameAkkumesswerte = "Valuesframe";
    w.lblAkkutyp = "Typelabel";
    w.lblMode = "Modelabel";
    w.lblNennkapazitaet = "Capacitylabel";
    w.lblMesswerteNachEntladen = "Afterdischargeheading";
    w.lblLadenAh = "Cah";
    w.lblLadenVolt = "Cvolt";
    w.lblEntladenMin = "Dmin";
    w.lblAkkuzustand = "Conditionlabel";
    w.lblBemerkungen = "Remarkslabel";
    w.txtAkkuTyp = "NiMH";
    w.txtAkkuzustand = "Conditionvalue";
    w.txtSelbstentladung = "Selfdischargevalue";
    w.txtBemerkung = "Seriesremark";
    ProgramBlockData p;
    p.optAkkuTyp = true;
    p.cboAkkuType = "Typename";
    p.cboNennSpannung = "4,8";
    p.cboGeraeteModi = "Modename";
    p.txtKapazitaetAh = "2,000";
    in.program = p;
    return in;
}

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::havePdfToText())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: PDF contents not checked";
        ASSERT_TRUE(m_dir.isValid());
    }

    // Prints the report into a PDF without margins and reads its words back.
    PdfText print(const ChannelReportInput& in, const QString& name,
                  QPageSize::PageSizeId size = QPageSize::A4) {
        const QString path = m_dir.filePath(name + ".pdf");
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(size));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            m_result = printChannelReport(writer, in);
        }
        EXPECT_EQ(m_result.outcome, PrintOutcome::Printed) << name.toStdString();
        auto text = test::readPdfWords(path);
        EXPECT_TRUE(text.has_value()) << name.toStdString();
        return text.value_or(PdfText());
    }

    // The word's top-left corner is where the report puts a text at (x mm, y mm) on
    // an A4 page without margins (within half a millimetre: font ascents differ a
    // little; the report's positions differ by a millimetre or more).
    static void expectAt(const PdfText& text, const QString& word, double xMm, double yMm,
                         double headCm = 0, int page = 0) {
        const auto w = text.find(word, page);
        ASSERT_TRUE(w.has_value()) << word.toStdString();
        EXPECT_NEAR(w->box.left(), (1000 + xMm * 56.7) / 20.0, 0.3 * kPointsPerMm)
            << word.toStdString();
        EXPECT_NEAR(w->box.top(), (headCm * 567 + yMm * 56.7) / 20.0, 0.5 * kPointsPerMm)
            << word.toStdString();
    }

    QTemporaryDir m_dir{test::testTempRoot() + QStringLiteral("/report-XXXXXX")};
    PrintResult m_result;
};

TEST_F(ReportPdf, TextsStandWhereTheReportPutsThem) {
    ChannelReportInput in = baseInput();
    in.window.lstEndwertLaden = entries("charge", 2);
    in.window.lstEndwertEntladen = entries("discharge", 1);
    in.remark = "Alpha\r\nBravo\nCharlie";
    in.printDate = formatPrintDate(QDateTime(QDate(2026, 12, 6), QTime(9, 5)), "de");
    EXPECT_EQ(in.printDate, "06. Dezember 2026   09:05");
    const PdfText text = print(in, "positions");
    ASSERT_EQ(text.pages.size(), 1);
    expectAt(text, "Reporttitle", 2, 1);
    expectAt(text, "06.", 40, 18); // the date beside the program frame
    expectAt(text, "Subtitleword", 2, 8);
    expectAt(text, "Programframe", 2, 18);
    expectAt(text, "Typelabel", 2, 25);
    expectAt(text, "Dischargecurrentlabel", 2, 41);
    expectAt(text, "Typename,", 40, 24);
    expectAt(text, "Modename", 40, 28);
    expectAt(text, "Valuesframe", 2, 52);
    expectAt(text, "Afterdischargeheading", 95, 61);
    expectAt(text, "Cah", 40 + 567 / 56.7, 65);
    expectAt(text, "Dmin", 95 + 1985 / 56.7, 65);
    expectAt(text, "charge2", 40, 74);
    expectAt(text, "discharge1", 95, 70);
    // Below the longer list: 70 + 4 * 2 + 10.
    expectAt(text, "Conditionlabel", 2, 88);
    expectAt(text, "Selfdischargevalue", 120, 87);
    expectAt(text, "Remarkslabel", 2, 98);
    expectAt(text, "Seriesremark", 40, 97);
    // The remark 10 mm below its label, its lines 4 mm apart.
    expectAt(text, "Alpha", 40, 107);
    expectAt(text, "Bravo", 40, 111);
    expectAt(text, "Charlie", 40, 115);
    // The program values read as the used-program view shows them.
    EXPECT_TRUE(text.find("2,000").has_value());
    EXPECT_TRUE(text.find("4,8").has_value());
}

TEST_F(ReportPdf, EmptyBatteryTypePrintsTheLabelsOnly) {
    ChannelReportInput in = baseInput();
    in.window.txtAkkuTyp = "  ";
    const PdfText text = print(in, "notype");
    for (const char* label :
         {"Typelabel", "Modelabel", "Capacitylabel", "Chargecurrentlabel", "Dischargecurrentlabel"})
        EXPECT_TRUE(text.find(label).has_value()) << label;
    for (const char* value : {"Typename,", "Modename", "2,000", "Ah", "A"})
        EXPECT_FALSE(text.find(value).has_value()) << value;
}

// Three charge and five discharge values put the battery condition at 100 mm;
// six charge and three discharge values put it below the sixth charge line. A head
// area moves every text down by its height.
TEST_F(ReportPdf, BatteryConditionFollowsTheLongerList) {
    struct Case {
        int charge, discharge;
        double conditionMm, headCm;
    };
    for (const Case c : {Case{3, 5, 100, 0}, Case{6, 3, 104, 3}, Case{0, 0, 80, 0}}) {
        ChannelReportInput in = baseInput();
        in.window.lstEndwertLaden = entries("charge", c.charge);
        in.window.lstEndwertEntladen = entries("discharge", c.discharge);
        in.settings.headAreaCm = c.headCm;
        const PdfText text = print(in, QStringLiteral("lists%1-%2").arg(c.charge).arg(c.discharge));
        SCOPED_TRACE(testing::Message() << c.charge << "+" << c.discharge);
        expectAt(text, "Reporttitle", 2, 1, c.headCm);
        expectAt(text, "Conditionlabel", 2, c.conditionMm, c.headCm);
        expectAt(text, "Conditionvalue", 40, c.conditionMm - 1, c.headCm);
        if (c.charge == 6)
            expectAt(text, "charge6", 40, 90, c.headCm);
    }
}

TEST_F(ReportPdf, LongContentGoesOnToAFurtherPageInsideTheFrame) {
    ChannelReportInput in = baseInput();
    in.window.lstEndwertLaden = entries("charge", 70);
    in.window.lstEndwertEntladen = entries("discharge", 2);
    in.remark = QString("word ").repeated(200).trimmed();
    in.settings.headAreaCm = 3;
    const PdfText text = print(in, "long");
    ASSERT_GE(text.pages.size(), 2);
    const double frameRight = (1000 + (text.pages[0].width() * 20 - 1300)) / 20.0;
    const double frameBottom = text.pages[0].height() - 567 / 20.0;
    for (const test::PdfWord& w : text.words) {
        EXPECT_LE(w.box.bottom(), frameBottom) << w.text.toStdString() << " page " << w.page;
        EXPECT_LE(w.box.right(), frameRight) << w.text.toStdString() << " page " << w.page;
    }
    for (int i = 1; i <= 70; ++i)
        EXPECT_EQ(text.all(QStringLiteral("charge%1").arg(i)).size(), 1) << i;
    EXPECT_EQ(text.all("word").size(), 200);
    // Every page carries the head; the list goes on under its headings.
    EXPECT_EQ(text.all("Reporttitle").size(), text.pages.size());
    const auto resumed = text.find("charge70");
    ASSERT_TRUE(resumed.has_value());
    EXPECT_TRUE(text.find("Cvolt", resumed->page).has_value());
}

TEST_F(ReportPdf, PaperOtherThanA4PrintsNothing) {
    ChannelReportInput in = baseInput();
    const QString path = m_dir.filePath("letter.pdf");
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        m_result = printChannelReport(writer, in);
        EXPECT_EQ(m_result.outcome, PrintOutcome::NotA4);
        EXPECT_EQ(printDiagramPage(writer, "Caption", QImage(10, 10, QImage::Format_RGB32)).outcome,
                  PrintOutcome::NotA4);
    }
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_FALSE(m_result.detail.isEmpty());
}

TEST_F(ReportPdf, DiagramPageIsLandscapeAndRestoresTheOrientation) {
    const QString path = m_dir.filePath("diagram.pdf");
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::red);
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        EXPECT_EQ(printDiagramPage(writer, "Windowcaption", picture).outcome,
                  PrintOutcome::Printed);
        EXPECT_EQ(writer.pageLayout().orientation(), QPageLayout::Portrait);
    }
    const auto text = test::readPdfWords(path);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->pages.size(), 1);
    EXPECT_GT(text->pages[0].width(), text->pages[0].height());
    const auto caption = text->find("Windowcaption");
    ASSERT_TRUE(caption.has_value());
    EXPECT_NEAR(caption->box.left(), (500 + 2 * 56.7) / 20.0, 0.5 * kPointsPerMm);
    EXPECT_NEAR(caption->box.top(), (500 + 1 * 56.7) / 20.0, 1.0 * kPointsPerMm);
}

// --- the layout itself: frame and diagram ---------------------------------------------------

// Widths of a fixed-pitch font: 100 twips a character.
double fixedWidth(const QString& text, const ReportFont&) {
    return 100.0 * text.size();
}

const PageItem* findItem(const ReportPage& page, PageItem::Kind kind) {
    for (const PageItem& item : page.items)
        if (item.kind == kind)
            return &item;
    return nullptr;
}

// The frame ends a centimetre above the printable bottom, below a head area of
// any height; the diagram sits 15 mm below the last line.
TEST(ReportLayout, FrameAndDiagramFollowTheHeadAndTheLastLine) {
    const PageGeometry a4{11000, 16000};
    ChannelReportInput in = baseInput();
    in.window.lstEndwertLaden = entries("c", 2);
    in.diagram = QImage(40, 30, QImage::Format_RGB32);
    const struct {
        const char* remark;
        double head;
    } cases[] = {{"", 0}, {"   ", 3}, {"A\r\nB", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remark);
        in.remark = c.remark;
        in.settings.headAreaCm = c.head;
        const PrintedReport report = layoutChannelReport(in, a4, fixedWidth);
        ASSERT_EQ(report.pages.size(), 1);
        const ReportPage& page = report.pages[0];
        EXPECT_DOUBLE_EQ(page.origin.y(), c.head * 567);
        const PageItem* frame = findItem(page, PageItem::Kind::Rect);
        const PageItem* image = findItem(page, PageItem::Kind::Image);
        ASSERT_TRUE(frame && image);
        EXPECT_DOUBLE_EQ(page.origin.y() + frame->rect.bottom(), a4.height - 567);
        EXPECT_DOUBLE_EQ(frame->rect.right(), a4.width - 1300);
        // Remark label at 70 + 8 + 10 + 10 = 98 mm; two remark lines add 10 + 2 * 4.
        const double lastMm = QString(c.remark).trimmed().isEmpty() ? 98 : 98 + 10 + 8;
        EXPECT_NEAR(image->rect.top(), (lastMm + 15) * 56.7, 1e-6);
        EXPECT_NEAR(page.origin.y() + image->rect.bottom(), a4.height - 567, 1e-6);
        EXPECT_NEAR(image->rect.width(), a4.width - 1701, 1e-6);
    }
    in.settings.headAreaCm = 0;
    // No room left for a diagram on the first page: it gets a page of its own.
    in.remark.clear();
    in.window.lstEndwertLaden = entries("c", 30);
    const PrintedReport report = layoutChannelReport(in, a4, fixedWidth);
    ASSERT_EQ(report.pages.size(), 2);
    const PageItem* image = findItem(report.pages[1], PageItem::Kind::Image);
    ASSERT_NE(image, nullptr);
    EXPECT_GT(image->rect.height(), 100 * 56.7);
}

// The print date at (40 mm, 18 mm), or 3 mm after a heading that reaches further.
TEST(ReportLayout, PrintDateStandsClearOfTheProgramHeading) {
    ChannelReportInput in = baseInput();
    in.printDate = "2026-12-06 09:05";
    for (const auto& [heading, xMm] :
         {std::pair{"Program", 40.0},
          std::pair{"Battery program, long", 2 + 21 * 100 / 56.7 + 3}}) {
        in.window.frameAkkuprogramm = heading;
        const PrintedReport report =
            layoutChannelReport(in, PageGeometry{11000, 16000}, fixedWidth);
        const auto& items = report.pages.at(0).items;
        const auto date = std::find_if(items.begin(), items.end(),
                                       [&](const PageItem& i) { return i.text == in.printDate; });
        ASSERT_NE(date, items.end());
        EXPECT_NEAR(date->at.x(), xMm * 56.7, 1e-6) << heading;
        EXPECT_NEAR(date->at.y(), 18 * 56.7, 1e-6);
    }
}

// --- texts ----------------------------------------------------------------------------------

TEST(ReportTexts, ModeLineNamesTheCycleOfTheFormingModeOnly) {
    const struct {
        const char* mode;
        bool cycleShown, periodShown;
        const char* line;
    } cases[] = {
        {"Conditioning", false, false, "Conditioning - 3 cycles"},
        {"Conditioning", true, false, "Conditioning, 3 cycles"},
        {"Conditioning ", false, false, "Conditioning "},
        {"Charge", false, true, "Charge, 12 h"},
    };
    for (const auto& c : cases) {
        ProgramBlockData p;
        p.cboGeraeteModi = c.mode;
        p.cboModeZyklus = "3 cycles";
        p.cboModeZyklusVisible = c.cycleShown;
        p.txtZeitraum = "12";
        p.lblZeitraum = " h";
        p.txtZeitraumVisible = c.periodShown;
        EXPECT_EQ(buildModeLine(p), c.line) << c.mode;
    }
}

// The date only for exactly "YES"; the head height in the user's locale, else as 0.
TEST(ReportTexts, SettingsAreReadStrictly) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char *date, *head;
        QLocale locale;
        bool printDate;
        double cm;
    } cases[] = {
        {"YES", "2,5", german, true, 2.5},  {"yes", "2.5", QLocale::c(), false, 2.5},
        {"Yes", " 3 ", german, false, 3},   {"YES ", "2.5", german, false, 2.5},
        {"NO", "abc", german, false, 0},    {"", "-1", QLocale::c(), false, 0},
        {"YES", "", QLocale::c(), true, 0}, {"NO", "25", german, false, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date << "|" << c.head);
        const ReportSettings s = readReportSettings(
            [&](const QString& key) {
                return key == "PrintDate"  ? QString(c.date)
                       : key == "HeadArea" ? QString(c.head)
                                           : QString();
            },
            c.locale);
        EXPECT_EQ(s.printDate, c.printDate);
        EXPECT_DOUBLE_EQ(s.headAreaCm, c.cm);
    }
}

TEST(ReportTexts, WrapBreaksAtBlanksAndCutsOverlongWords) {
    const ReportFont f;
    EXPECT_EQ(wrapText("aa bb cc", 500, f, fixedWidth), QStringList({"aa bb", "cc"}));
    EXPECT_EQ(wrapText("aaaaaaa b", 300, f, fixedWidth), QStringList({"aaa", "aaa", "a b"}));
    EXPECT_EQ(wrapText("short", 5000, f, fixedWidth), QStringList({"short"}));
    EXPECT_EQ(wrapText("", 5000, f, fixedWidth), QStringList({""}));
}

} // namespace
