#include "printing/core/reportprint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace velmara {

namespace {

QFont fontOf(const ReportFont& f) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    return font;
}

// Device pixels per twip.
double scaleOf(const QPaintDevice& device) {
    return device.logicalDpiX() / 1440.0;
}

} // namespace

bool isA4(const QPagedPaintDevice& device) {
    return device.pageLayout().pageSize().id() == QPageSize::A4;
}

PageGeometry printableGeometry(const QPagedPaintDevice& device) {
    const QRectF points = device.pageLayout().paintRect(QPageLayout::Point);
    return {points.width() * 20.0, points.height() * 20.0};
}

TextWidth deviceTextWidth(QPaintDevice* device) {
    const double scale = scaleOf(*device);
    return [device, scale](const QString& text, const ReportFont& font) {
        return QFontMetricsF(fontOf(font), device).horizontalAdvance(text) / scale;
    };
}

bool paintPages(QPagedPaintDevice& device, const QList<ReportPage>& pages) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double s = scaleOf(device);
    QPen pen(Qt::black);
    pen.setWidthF(14 * s); // a quarter millimetre
    bool ok = true;
    for (qsizetype n = 0; n < pages.size() && ok; ++n) {
        if (n > 0)
            ok = device.newPage();
        const ReportPage& page = pages.at(n);
        painter.resetTransform();
        painter.translate(page.origin * s);
        // Pictures first: the frame drawn over them stays whole where they meet it.
        QList<const PageItem*> order;
        for (const PageItem& item : page.items)
            if (item.kind == PageItem::Kind::Image)
                order << &item;
        for (const PageItem& item : page.items)
            if (item.kind != PageItem::Kind::Image)
                order << &item;
        for (const PageItem* next : order) {
            const PageItem& item = *next;
            switch (item.kind) {
            case PageItem::Kind::Text: {
                painter.setFont(fontOf(item.font));
                painter.setPen(Qt::black);
                const QRectF box(item.at * s, QSizeF(1e6, 1e6));
                painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item.text);
                break;
            }
            case PageItem::Kind::Line:
                painter.setPen(pen);
                painter.drawLine(QLineF(item.line.p1() * s, item.line.p2() * s));
                break;
            case PageItem::Kind::Rect:
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(item.rect.topLeft() * s, item.rect.size() * s));
                break;
            case PageItem::Kind::Image:
                if (item.rect.width() > 0 && item.rect.height() > 0)
                    painter.drawImage(QRectF(item.rect.topLeft() * s, item.rect.size() * s),
                                      item.image);
                break;
            }
        }
    }
    return painter.end() && ok;
}

PrintResult printChannelReport(QPagedPaintDevice& device, const ChannelReportInput& in) {
    if (!isA4(device))
        return {PrintOutcome::NotA4, device.pageLayout().pageSize().name()};
    const PrintedReport report =
        layoutChannelReport(in, printableGeometry(device), deviceTextWidth(&device));
    if (!paintPages(device, report.pages))
        return {PrintOutcome::Failed, QString()};
    return {PrintOutcome::Printed, QString()};
}

PrintResult printDiagramPage(QPagedPaintDevice& device, const QString& caption,
                             const QImage& diagram) {
    if (!isA4(device))
        return {PrintOutcome::NotA4, device.pageLayout().pageSize().name()};
    const QPageLayout::Orientation before = device.pageLayout().orientation();
    device.setPageOrientation(QPageLayout::Landscape);
    const PrintedReport report = layoutDiagramPage(caption, diagram, printableGeometry(device));
    const bool ok = paintPages(device, report.pages);
    device.setPageOrientation(before);
    if (!ok)
        return {PrintOutcome::Failed, QString()};
    return {PrintOutcome::Printed, QString()};
}

} // namespace velmara
