#include "link/chargermodel.h"

namespace velmara {

ChargerModel chargerModel(const QString& shortName) {
    if (shortName == QLatin1String(kOneChannelModelName))
        return ChargerModel::OneChannel;
    if (shortName == QLatin1String(kFourChannelModelName))
        return ChargerModel::FourChannels;
    return ChargerModel::Unknown;
}

QString chargerModelName(ChargerModel model) {
    switch (model) {
    case ChargerModel::OneChannel:
        return QLatin1String(kOneChannelModelName);
    case ChargerModel::FourChannels:
        return QLatin1String(kFourChannelModelName);
    case ChargerModel::Unknown:
        break;
    }
    return QString();
}

std::optional<ChannelCode> ChannelCode::fromText(QStringView text) {
    if (text.size() != 3 || text.at(0) != u'0' || text.at(1) != u'0')
        return std::nullopt;
    const ChannelCode code(text.at(2).unicode() - u'0');
    return code.isValid() ? std::optional(code) : std::nullopt;
}

QString ChannelCode::text() const {
    return isValid() ? QStringLiteral("00%1").arg(m_number) : QString();
}

const QStringList& allChannelCodes() {
    static const QStringList codes{"001", "002", "003", "004"};
    return codes;
}

QStringList loadedChannelCodes(ChargerModel model) {
    if (model == ChargerModel::FourChannels)
        return allChannelCodes();
    return {allChannelCodes().first()};
}

} // namespace velmara
