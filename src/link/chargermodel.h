#pragma once
// The charger models and their channels. The setting UsedCharger names the model
// by its short name; the charger names its channels "001" .. "004".
#include <QString>
#include <QStringList>

namespace velmara {

enum class ChargerModel {
    Unknown,     // no model chosen yet, or a name the program does not know
    OneChannel,  // "QMT1"
    FourChannels // "QMT4"
};

inline constexpr const char* kOneChannelModelName = "QMT1";
inline constexpr const char* kFourChannelModelName = "QMT4";

// The model a short name stands for (exact, as the settings and the rows hold it).
ChargerModel chargerModel(const QString& shortName);
// The short name of a model ("" for Unknown).
QString chargerModelName(ChargerModel model);

// "001" .. "004"
const QStringList& allChannelCodes();
// 1 .. 4 for a channel code, 0 for anything else.
int channelNumber(const QString& channelCode);
// The code of channel n (1 .. 4), "" for anything else.
QString channelCode(int number);
// The channels a model has: four for the four-channel model, channel 1 otherwise.
QStringList loadedChannelCodes(ChargerModel model);

} // namespace velmara
