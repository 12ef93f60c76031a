#include "channel/ui/channelview.h"

#include "data/textstore.h"
#include "link/chargermodel.h"

namespace velmara {

ChannelView::~ChannelView() = default;

QString channelCaptionKey(const QString& channelCode) {
    switch (channelNumber(channelCode)) {
    case 1:
        return QStringLiteral("0800");
    case 2:
        return QStringLiteral("0799");
    case 3:
        return QStringLiteral("0798");
    case 4:
        return QStringLiteral("0797");
    }
    return QString();
}

} // namespace velmara
