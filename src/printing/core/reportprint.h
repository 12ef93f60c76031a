#pragma once
// Printing the laid-out pages on a paged paint device (a printer, a PDF file):
// the A4 condition, the printable size in twips, fonts and pictures.
#include "printing/core/pagelayout.h"

#include <QPagedPaintDevice>

namespace velmara {

enum class PrintOutcome { Printed, NotA4, Failed };

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Failed;
    QString detail; // what went wrong (Failed), or the name of the paper (NotA4)
};

bool isA4(const QPagedPaintDevice& device);
// The printable width and height of the device's page in twips, in its orientation.
PageGeometry printableGeometry(const QPagedPaintDevice& device);
// Text widths as printed on the device, in twips.
TextWidth deviceTextWidth(QPaintDevice* device);

// The channel report: one page, more when the content is longer than the frame.
PrintResult printChannelReport(QPagedPaintDevice& device, const ChannelReportInput& in);
// The diagram page in landscape; the device's orientation is restored afterwards.
PrintResult printDiagramPage(QPagedPaintDevice& device, const QString& caption,
                             const QImage& diagram);

// Paints laid-out pages onto a device that has been opened already.
bool paintPages(QPagedPaintDevice& device, const QList<ReportPage>& pages);

} // namespace velmara
