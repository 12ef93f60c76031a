#pragma once
// The charger models and their channels. The setting UsedCharger names the model
// by its short name; the charger names its channels "001" .. "004".
#include <QString>
#include <QStringList>
#include <QStringView>

#include <compare>
#include <optional>

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

// One channel of the charger. On the line and in the files a channel is named
// by its code "001" .. "004"; a default-made code names no channel.
class ChannelCode {
public:
    static constexpr int kMaxNumber = 4;

    // No channel.
    constexpr ChannelCode() = default;
    // Channel 1 .. 4; any other number names no channel.
    constexpr explicit ChannelCode(int number)
        : m_number(number >= 1 && number <= kMaxNumber ? number : 0) {}

    // The channel a text names: exactly "001" .. "004" (no blanks, no other
    // width); anything else, the empty text included, names none.
    static std::optional<ChannelCode> fromText(QStringView text);

    constexpr bool isValid() const { return m_number != 0; }
    // 1 .. 4; 0 for no channel.
    constexpr int number() const { return m_number; }
    // "001" .. "004" as on the line and in the files; "" for no channel.
    QString text() const;
    explicit operator QString() const { return text(); }

    friend constexpr bool operator==(ChannelCode, ChannelCode) = default;
    friend constexpr std::strong_ordering operator<=>(ChannelCode, ChannelCode) = default;

private:
    int m_number = 0;
};

// "001" .. "004"
const QStringList& allChannelCodes();
// 1 .. 4 for a channel code, 0 for anything else.
inline int channelNumber(const QString& channelCode) {
    return ChannelCode::fromText(channelCode).value_or(ChannelCode()).number();
}
// The channels a model has: four for the four-channel model, channel 1 otherwise.
QStringList loadedChannelCodes(ChargerModel model);

} // namespace velmara
