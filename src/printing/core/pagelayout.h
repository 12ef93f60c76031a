#pragma once
// The pages of a channel report and of the diagram page, laid out in twips
// (1/1440 inch) relative to each page's origin, ready for any paint device.
#include "printing/core/reportdata.h"

#include <QImage>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>

namespace velmara {

constexpr double kTwipsPerMm = 56.7;
constexpr double kTwipsPerCm = 567.0;
inline double mmToTwips(double mm) {
    return mm * kTwipsPerMm;
}

struct ReportFont {
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const ReportFont&) const = default;
};

struct PageItem {
    enum class Kind { Text, Line, Rect, Image };
    Kind kind = Kind::Text;
    QPointF at;   // Text: top-left corner of the line
    QString text; // Text
    ReportFont font;
    QLineF line;  // Line
    QRectF rect;  // Rect, Image
    QImage image; // Image, scaled into rect
};

struct ReportPage {
    QPointF origin; // twips from the top-left corner of the printable area
    QList<PageItem> items;
};

struct PrintedReport {
    QList<ReportPage> pages;
};

// The printable width and height of the page in twips.
struct PageGeometry {
    double width = 0;
    double height = 0;
};

// The width of a text in twips when printed in the font.
using TextWidth = std::function<double(const QString& text, const ReportFont& font)>;

// The channel report. Content that would pass the frame's lower edge goes on
// to a further page with the same frame and head; lines wider than the frame
// are broken at blanks.
PrintedReport layoutChannelReport(const ChannelReportInput& in, const PageGeometry& page,
                                  const TextWidth& width);

// The diagram alone on a landscape page under the caption of the calling window.
// page: the printable size in landscape.
PrintedReport layoutDiagramPage(const QString& caption, const QImage& diagram,
                                const PageGeometry& page);

// Breaks text at blanks into lines no wider than maxWidth (a single word wider
// than that stays on a line of its own).
QStringList wrapText(const QString& text, double maxWidth, const ReportFont& font,
                     const TextWidth& width);

} // namespace velmara
