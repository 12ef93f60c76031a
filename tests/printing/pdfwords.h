#pragma once
// The words of a PDF file with their boxes, read back with pdftotext -bbox.
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace velmara::test {

struct PdfWord {
    int page = 0; // from 0
    QString text;
    QRectF box; // points from the top-left corner of the page
};

struct PdfText {
    QList<QSizeF> pages; // page sizes in points
    QList<PdfWord> words;

    // The first word with this text (on the page, or any page for -1).
    std::optional<PdfWord> find(const QString& text, int page = -1) const;
    QList<PdfWord> all(const QString& text) const;
};

// Whether pdftotext can be run.
bool havePdfToText();
// nullopt when pdftotext failed or the file holds no pages.
std::optional<PdfText> readPdfWords(const QString& pdfPath);

constexpr double kPointsPerMm = 72.0 / 25.4;

} // namespace velmara::test
