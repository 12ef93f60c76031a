#include "pdfwords.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace velmara::test {

std::optional<PdfWord> PdfText::find(const QString& text, int page) const {
    for (const PdfWord& w : words)
        if (w.text == text && (page < 0 || w.page == page))
            return w;
    return std::nullopt;
}

QList<PdfWord> PdfText::all(const QString& text) const {
    QList<PdfWord> out;
    for (const PdfWord& w : words)
        if (w.text == text)
            out << w;
    return out;
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

std::optional<PdfText> readPdfWords(const QString& pdfPath) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return std::nullopt;
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    PdfText out;
    // Pages and words in document order.
    static const QRegularExpression anyRe(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|)re"
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    auto it = anyRe.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            out.pages << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
            continue;
        }
        PdfWord w;
        w.page = int(out.pages.size()) - 1;
        w.box = QRectF(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                       QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
        w.text = m.captured(7)
                     .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
                     .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                     .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                     .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        out.words << w;
    }
    if (out.pages.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace velmara::test
