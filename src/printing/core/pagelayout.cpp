#include "printing/core/pagelayout.h"

#include "printing/core/reporttexts.h"

#include <algorithm>

namespace velmara {

namespace {

const ReportFont kHeadFont{12, true, false, false};
const ReportFont kCaptionFont{12, true, false, true};
const ReportFont kDateFont{10, true, false, false};
const ReportFont kLabelFont{7, false, true, false};
const ReportFont kHeadingFont{10, false, true, false};
const ReportFont kValueFont{10, false, false, false};
const ReportFont kPageCaptionFont{16, true, true, false};

constexpr double kLineMm = 4;        // one printed line of the lists and remarks
constexpr double kResumeMm = 18;     // where a further page goes on, below its head
constexpr double kMinDiagramMm = 50; // a smaller diagram moves to a further page of its own

// Pages of the channel report with a cursor in millimetres from the origin.
class ReportWriter {
public:
    ReportWriter(const ChannelReportInput& in, const PageGeometry& page, const TextWidth& width)
        : m_in(in), m_width(width) {
        const double head = in.settings.headAreaCm * kTwipsPerCm;
        m_origin = QPointF(1000, head);
        m_frameWidth = page.width - 1300;
        m_frameBottom = page.height - head - 567;
        newPage();
    }

    QList<ReportPage> pages() const { return m_pages; }
    double frameBottom() const { return m_frameBottom; }
    double frameWidth() const { return m_frameWidth; }

    void text(double xMm, double yMm, const QString& text, const ReportFont& font) {
        PageItem item;
        item.kind = PageItem::Kind::Text;
        item.at = QPointF(mmToTwips(xMm), mmToTwips(yMm));
        item.text = text;
        item.font = font;
        m_pages.last().items.append(item);
    }
    void image(const QRectF& rect, const QImage& picture) {
        PageItem item;
        item.kind = PageItem::Kind::Image;
        item.rect = rect;
        item.image = picture;
        m_pages.last().items.append(item);
    }
    // Whether a line whose top is at yMm (and heightMm high) ends above the frame's lower edge.
    bool fits(double yMm, double heightMm = kLineMm) const {
        return mmToTwips(yMm + heightMm) <= m_frameBottom;
    }
    double widthMm(const QString& text, const ReportFont& font) const {
        return m_width ? m_width(text, font) / kTwipsPerMm : 0;
    }
    // Text lines of a value printed from x mm to the frame's right edge.
    QStringList wrapped(const QString& value, double xMm) const {
        const double room = m_frameWidth - mmToTwips(xMm) - mmToTwips(2);
        return wrapText(value, room, kValueFont, m_width);
    }

    void newPage() {
        ReportPage page;
        page.origin = m_origin;
        PageItem frame;
        frame.kind = PageItem::Kind::Rect;
        frame.rect = QRectF(QPointF(0, 0), QPointF(m_frameWidth, m_frameBottom));
        page.items.append(frame);
        for (double y : {380.0, 760.0}) {
            PageItem line;
            line.kind = PageItem::Kind::Line;
            line.line = QLineF(0, y, m_frameWidth, y);
            page.items.append(line);
        }
        m_pages.append(page);
        text(2, 1, m_in.title, kHeadFont);
        text(2, 8, m_in.settings.subTitle, kHeadFont);
    }

private:
    const ChannelReportInput& m_in;
    const TextWidth& m_width;
    QPointF m_origin;
    double m_frameWidth = 0;
    double m_frameBottom = 0;
    QList<ReportPage> m_pages;
};

void programBlock(ReportWriter& w, const ChannelReportInput& in) {
    const ReportWindowData& win = in.window;
    w.text(2, 18, win.frameAkkuprogramm, kCaptionFont);
    if (!in.printDate.isEmpty()) {
        // Beside the heading; after it when the heading (in another language) reaches further.
        const double headingEnd = 2 + w.widthMm(win.frameAkkuprogramm, kCaptionFont);
        w.text(std::max(40.0, headingEnd + 3), 18, in.printDate, kDateFont);
    }
    w.text(2, 25, win.lblAkkutyp, kLabelFont);
    w.text(2, 29, win.lblMode, kLabelFont);
    w.text(2, 33, win.lblNennkapazitaet, kLabelFont);
    w.text(2, 37, in.chargeCurrentLabel, kLabelFont);
    w.text(2, 41, in.dischargeCurrentLabel, kLabelFont);
    if (!windowHasProgram(win) || !in.program)
        return;
    const ProgramBlockData& p = *in.program;
    w.text(40, 24, buildBatteryText(p), kValueFont);
    w.text(40, 28, buildModeLine(p), kValueFont);
    w.text(40, 32, p.txtKapazitaetAh + QStringLiteral(" Ah"), kValueFont);
    w.text(40, 36, p.txtLadestrom + QStringLiteral(" A"), kValueFont);
    w.text(40, 40, p.txtEntladestrom + QStringLiteral(" A"), kValueFont);
    if (p.chkSelbstentladung) {
        w.text(2, 45, p.chkSelbstentladungCaption, kLabelFont);
        const QString unit = p.optSelbstentladungStunden ? p.optSelbstentladungStundenCaption
                                                         : p.optSelbstentladungTageCaption;
        w.text(40, 44,
               p.lblSelbstentladungNach + QStringLiteral(" ") +
                   p.txtSelbstentladungsZeitraum.trimmed() + QStringLiteral(" ") + unit,
               kValueFont);
    }
}

void listHeadings(ReportWriter& w, const ReportWindowData& win, double titleMm, double columnsMm) {
    w.text(40, titleMm, win.lblMesswerteNachLaden, kHeadingFont);
    w.text(95, titleMm, win.lblMesswerteNachEntladen, kHeadingFont);
    const double offsets[] = {0, 567, 1360, 1985};
    const QString charge[] = {win.lblLadenNr, win.lblLadenAh, win.lblLadenVolt, win.lblLadenMin};
    const QString discharge[] = {win.lblEntladenNr, win.lblEntladenAh, win.lblEntladenVolt,
                                 win.lblEntladenMin};
    for (int i = 0; i < 4; ++i) {
        w.text(40 + offsets[i] / kTwipsPerMm, columnsMm, charge[i], kHeadingFont);
        w.text(95 + offsets[i] / kTwipsPerMm, columnsMm, discharge[i], kHeadingFont);
    }
}

// The end values; returns the position below the longer of the two lists.
double endValues(ReportWriter& w, const ReportWindowData& win) {
    w.text(2, 52, win.frameAkkumesswerte, kCaptionFont);
    listHeadings(w, win, 61, 65);
    const qsizetype rows = std::max(win.lstEndwertLaden.size(), win.lstEndwertEntladen.size());
    double y = 70;
    for (qsizetype i = 0; i < rows; ++i) {
        if (!w.fits(y)) {
            w.newPage();
            listHeadings(w, win, kResumeMm, kResumeMm + 4);
            y = kResumeMm + 9;
        }
        if (i < win.lstEndwertLaden.size())
            w.text(40, y, win.lstEndwertLaden.at(i), kValueFont);
        if (i < win.lstEndwertEntladen.size())
            w.text(95, y, win.lstEndwertEntladen.at(i), kValueFont);
        y += kLineMm;
    }
    return y;
}

// A label at y and its value lines from y - 1 mm, 4 mm apart; returns the y of
// the last value line's label row.
double labelledLines(ReportWriter& w, double y, const QString& label, const QStringList& lines) {
    if (!w.fits(y - 1))
        y = (w.newPage(), kResumeMm + 1);
    w.text(2, y, label, kLabelFont);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            y += kLineMm;
            if (!w.fits(y - 1))
                y = (w.newPage(), kResumeMm + 1);
        }
        w.text(40, y - 1, lines.at(i), kValueFont);
    }
    return y;
}

} // namespace

QStringList wrapText(const QString& text, double maxWidth, const ReportFont& font,
                     const TextWidth& width) {
    if (!width || maxWidth <= 0 || width(text, font) <= maxWidth)
        return {text};
    QStringList lines;
    QString line;
    auto push = [&] {
        lines << line;
        line.clear();
    };
    const QStringList words = text.split(QLatin1Char(' '));
    for (const QString& word : words) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (width(joined, font) <= maxWidth) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            push();
        // A word wider than the line is cut where it reaches the edge.
        QString rest = word;
        while (!rest.isEmpty() && width(rest, font) > maxWidth) {
            qsizetype n = 1;
            while (n < rest.size() && width(rest.left(n + 1), font) <= maxWidth)
                ++n;
            line = rest.left(n);
            push();
            rest = rest.mid(n);
        }
        line = rest;
    }
    if (!line.isEmpty() || lines.isEmpty())
        push();
    return lines;
}

PrintedReport layoutChannelReport(const ChannelReportInput& in, const PageGeometry& page,
                                  const TextWidth& width) {
    ReportWriter w(in, page, width);
    programBlock(w, in);
    double y = endValues(w, in.window) + 10;

    const ReportWindowData& win = in.window;
    if (!w.fits(y - 1))
        y = (w.newPage(), kResumeMm + 1);
    w.text(2, y, win.lblAkkuzustand, kLabelFont);
    w.text(95, y, win.lblSelbstentladung, kLabelFont);
    w.text(40, y - 1, win.txtAkkuzustand, kValueFont);
    w.text(120, y - 1, win.txtSelbstentladung, kValueFont);

    y = labelledLines(w, y + 10, win.lblBemerkungen, w.wrapped(win.txtBemerkung, 40));

    const QStringList remark = remarkLines(in.remark);
    if (!remark.isEmpty()) {
        y += 10;
        for (const QString& piece : remark)
            for (const QString& line : w.wrapped(piece, 40)) {
                if (!w.fits(y - 1))
                    y = (w.newPage(), kResumeMm + 1);
                w.text(40, y - 1, line, kValueFont);
                y += kLineMm;
            }
    }

    if (!in.diagram.isNull()) {
        double top = mmToTwips(y + 15);
        if (w.frameBottom() - top < mmToTwips(kMinDiagramMm)) {
            w.newPage();
            top = mmToTwips(kResumeMm);
        }
        w.image(QRectF(mmToTwips(2), top, page.width - 1701, w.frameBottom() - top), in.diagram);
    }

    PrintedReport report;
    report.pages = w.pages();
    return report;
}

PrintedReport layoutDiagramPage(const QString& caption, const QImage& diagram,
                                const PageGeometry& page) {
    ReportPage p;
    p.origin = QPointF(500, 500);
    PageItem frame;
    frame.kind = PageItem::Kind::Rect;
    frame.rect = QRectF(QPointF(0, 0), QPointF(page.width - 1100, page.height - 1000));
    p.items.append(frame);
    PageItem line;
    line.kind = PageItem::Kind::Line;
    line.line = QLineF(0, 453, page.width - 1100, 453);
    p.items.append(line);
    PageItem title;
    title.kind = PageItem::Kind::Text;
    title.at = QPointF(mmToTwips(2), mmToTwips(1));
    title.text = caption;
    title.font = kPageCaptionFont;
    p.items.append(title);
    if (!diagram.isNull()) {
        PageItem picture;
        picture.kind = PageItem::Kind::Image;
        picture.rect = QRectF(mmToTwips(2), mmToTwips(15), page.width - 1500,
                              page.height - mmToTwips(15) - 1000);
        picture.image = diagram;
        p.items.append(picture);
    }
    PrintedReport report;
    report.pages = {p};
    return report;
}

} // namespace velmara
