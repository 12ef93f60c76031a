#include "ui/mainwindow/channelwindowfactory.h"

#include "channel/core/channelboard.h"
#include "channel/ui/channelwindow.h"
#include "ui/mainwindow/featurecontexts.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/printentries.h"

namespace velmara {

namespace {

// The main window as its channel windows see it: the windows and menus around
// them.
class MainWindowChannelHost : public ChannelWindowHost {
public:
    explicit MainWindowChannelHost(MainWindow* main) : m_main(main) {}

    bool hasEnded() const override { return m_main->hasEnded(); }
    void setChannelChecked(const QString& channelCode, bool checked) override {
        m_main->setChannelChecked(channelCode, checked);
    }
    std::shared_ptr<BatteryUsage> batteryUsage() override { return m_main->batteryUsage(); }
    std::shared_ptr<const BatteriesContext> batteriesContext() override {
        return m_main->contexts().batteriesContext();
    }
    void openDiagram(qint32 seriesId, qint32 endValueId, const std::function<void(bool)>& done,
                     QWidget* caller, std::function<const ProgramRecord*()> program) override {
        m_main->contexts().openDiagram(true, seriesId, endValueId, done, caller,
                                       std::move(program));
    }
    void printReport(const QWidget* caller, const ProgramRecord* program, bool toPdf) override {
        m_main->printing().printReport(caller, program, QImage(), false, toPdf);
    }
    void windowActivated(QWidget* window, std::function<void(bool)> print) override {
        m_main->printing().setPrintItemWindow(window, std::move(print));
    }

private:
    MainWindow* m_main;
};

} // namespace

ChannelViewFactory channelWindowFactory() {
    return [](const QString& code, MainWindow* main) -> ChannelView* {
        if (!main)
            return nullptr;
        const ChannelCode channel = ChannelCode::fromText(code).value_or(ChannelCode());
        main->board().start(channel, main->comLink());
        auto host = std::make_unique<MainWindowChannelHost>(main);
        auto* window = new ChannelWindow(main->session(), main->board(), channel, host.get());
        window->adoptHost(std::move(host));
        return window;
    };
}

void installChannelWindows(MainWindow& main) {
    main.setChannelViewFactory(channelWindowFactory());
}

} // namespace velmara
