#include "ui/mainwindow/shellrules.h"

#include <array>

namespace velmara {

QStringList loadedChannelCodes(const QString& usedCharger) {
    return loadedChannelCodes(chargerModel(usedCharger));
}

QString deriveProgramExtension(const QString& usedCharger, const QString& p1Extension,
                               const QString& p4Extension) {
    switch (chargerModel(usedCharger)) {
    case ChargerModel::FourChannels:
        return p4Extension;
    case ChargerModel::OneChannel:
        return p1Extension;
    case ChargerModel::Unknown:
        break;
    }
    return QStringLiteral("NO");
}

std::optional<bool> upperChannelPanelsVisible(const QString& usedCharger) {
    switch (chargerModel(usedCharger)) {
    case ChargerModel::OneChannel:
        return false;
    case ChargerModel::FourChannels:
        return true;
    case ChargerModel::Unknown:
        break;
    }
    return std::nullopt;
}

QString mainCaption(const QString& programName, const QString& edition, int major, int minor,
                    int patch) {
    return programName + " - " + edition + " " + QString::number(major) + "." +
           QString::number(minor) + "." + QString::number(patch);
}

QList<QPair<QString, QString>> visibilityToStore(const QString& usedCharger,
                                                 const std::array<bool, 4>& checked) {
    QList<QPair<QString, QString>> out;
    const int n = chargerModel(usedCharger) == ChargerModel::OneChannel ? 1 : 4;
    for (int i = 0; i < n; ++i)
        out.append({QString("Akku%1Visible").arg(i + 1),
                    checked[size_t(i)] ? QStringLiteral("YES") : QStringLiteral("NO")});
    return out;
}

QString firstAnsweringChannel(const QStringList& codes,
                              const std::function<bool(const QString&)>& ask, const QString& none) {
    for (const QString& code : codes)
        if (ask(code))
            return code;
    return none;
}

QList<QRect> tileRects(const QRect& area, int n, Qt::Orientation stacking) {
    QList<QRect> out;
    if (n <= 0 || area.isEmpty())
        return out;
    const bool vertical = stacking == Qt::Vertical;
    const int total = vertical ? area.height() : area.width();
    const int step = total / n;
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        int len = (i == n - 1) ? total - pos : step;
        if (vertical)
            out.append(QRect(area.left(), area.top() + pos, area.width(), len));
        else
            out.append(QRect(area.left() + pos, area.top(), len, area.height()));
        pos += len;
    }
    return out;
}

} // namespace velmara
