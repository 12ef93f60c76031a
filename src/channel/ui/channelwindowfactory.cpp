#include "channel/ui/channelwindowfactory.h"

#include "channel/ui/channelwindow.h"
#include "shell/mainwindow/mainform.h"

namespace velmara {

ChannelViewFactory channelWindowFactory() {
    return [](const QString& code, frmMDIMainForm* main) -> ChannelView* {
        auto host = std::make_unique<MainFormChannelHost>(main);
        auto* window = new frmKanal(code, main ? main->comLink() : nullptr, *host, main);
        window->adoptHost(std::move(host));
        return window;
    };
}

void installChannelWindows(frmMDIMainForm& main) {
    main.setChannelViewFactory(channelWindowFactory());
}

} // namespace velmara
