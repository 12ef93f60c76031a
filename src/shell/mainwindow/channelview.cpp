#include "shell/mainwindow/channelview.h"

#include "shell/core/programresources.h"
#include "shell/mainwindow/shellrules.h"

#include <QLabel>
#include <QVBoxLayout>

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

PlaceholderChannelView::PlaceholderChannelView(const QString& code, QWidget* parent)
    : QWidget(parent), m_code(code) {
    setObjectName(channelNumber(code) == 1 ? QStringLiteral("frmKanal")
                                           : QStringLiteral("frmKanal%1").arg(channelNumber(code)));
    setWindowTitle(res(channelCaptionKey(code)));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(res(channelCaptionKey(code)), this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setMinimumSize(240, 160);
}

ChannelViewFactory placeholderChannelViewFactory() {
    return [](const QString& code, frmMDIMainForm*) -> ChannelView* {
        return new PlaceholderChannelView(code);
    };
}

} // namespace velmara
