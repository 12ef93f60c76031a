#include "ui/mainwindow/placeholderview.h"

#include "data/textstore.h"
#include "link/chargermodel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velmara {

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
    return [](const QString& code, MainWindow*) -> ChannelView* {
        return new PlaceholderChannelView(code);
    };
}

} // namespace velmara
