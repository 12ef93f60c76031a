#include "ui/mainwindow/placeholderview.h"

#include "link/chargermodel.h"
#include "ui/mainwindow/mainwindow.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velmara {

PlaceholderChannelView::PlaceholderChannelView(const QString& code, const QString& caption,
                                               QWidget* parent)
    : QWidget(parent), m_code(code) {
    setObjectName(channelNumber(code) == 1 ? QStringLiteral("frmKanal")
                                           : QStringLiteral("frmKanal%1").arg(channelNumber(code)));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setMinimumSize(240, 160);
}

ChannelViewFactory placeholderChannelViewFactory() {
    return [](const QString& code, MainWindow* main) -> ChannelView* {
        const QString key = channelCaptionKey(code);
        return new PlaceholderChannelView(code, main ? main->session().text(key) : key);
    };
}

} // namespace velmara
