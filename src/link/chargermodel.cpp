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

const QStringList& allChannelCodes() {
    static const QStringList codes{"001", "002", "003", "004"};
    return codes;
}

int channelNumber(const QString& channelCode) {
    const int i = allChannelCodes().indexOf(channelCode);
    return i < 0 ? 0 : i + 1;
}

QString channelCode(int number) {
    return number >= 1 && number <= allChannelCodes().size() ? allChannelCodes().at(number - 1)
                                                             : QString();
}

QStringList loadedChannelCodes(ChargerModel model) {
    if (model == ChargerModel::FourChannels)
        return allChannelCodes();
    return {allChannelCodes().first()};
}

} // namespace velmara
