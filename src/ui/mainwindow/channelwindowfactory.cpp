#include "ui/mainwindow/channelwindowfactory.h"

#include "channel/ui/channelwindow.h"
#include "ui/mainwindow/mainwindow.h"

namespace velmara {

namespace {

// The main window as its channel windows see it: the shared values of the poll
// cycle (ChannelHost) and the windows and menus around them (ChannelWindowHost).
class MainWindowChannelHost : public ChannelHost, public ChannelWindowHost {
public:
    explicit MainWindowChannelHost(MainWindow* main) : m_main(main) {}

    bool chargerMissing() const override { return m_main && m_main->chargerMissing; }
    void setChargerMissing(bool value) override {
        if (m_main)
            m_main->chargerMissing = value;
    }
    qint32 newTempSeriesId() override { return m_main ? m_main->newTempSeriesId() : -1; }
    void setStatusbarText(const QString& channelCode, const QString& text, bool fault) override {
        if (m_main)
            m_main->setStatusbarText(channelCode, text, fault);
    }
    void setValuesWaiting(const QString& channelCode, int waiting, const QString& reason) override {
        if (m_main)
            m_main->setValuesWaiting(channelCode, waiting, reason);
    }
    std::shared_ptr<TurnQueue> channelTurn() override {
        return m_main ? m_main->channelTurn() : nullptr;
    }

    bool hasEnded() const override { return m_main->hasEnded(); }
    void setChannelChecked(const QString& channelCode, bool checked) override {
        m_main->setChannelChecked(channelCode, checked);
    }
    void tellChannelEvent(const ChannelEvent& event) override { m_main->tellChannelEvent(event); }
    ChannelView* channelView(const QString& channelCode) const override {
        return m_main->channelView(channelCode);
    }
    std::shared_ptr<BatteryUsage> batteryUsage() override { return m_main->batteryUsage(); }
    std::shared_ptr<const BatteriesContext> batteriesContext() override {
        return m_main->batteriesContext();
    }
    void openDiagram(qint32 seriesId, qint32 endValueId, const std::function<void(bool)>& done,
                     QWidget* caller, std::function<const ProgramRecord*()> program) override {
        m_main->openDiagram(true, seriesId, endValueId, done, caller, std::move(program));
    }
    void printReport(const QWidget* caller, const ProgramRecord* program, bool toPdf) override {
        m_main->printReport(caller, program, QImage(), false, toPdf);
    }
    void windowActivated(QWidget* window, std::function<void(bool)> print) override {
        m_main->activeWindow = window;
        m_main->setPrintItemWindow(window, std::move(print));
    }

private:
    MainWindow* m_main;
};

} // namespace

ChannelViewFactory channelWindowFactory() {
    return [](const QString& code, MainWindow* main) -> ChannelView* {
        if (!main)
            return nullptr;
        auto host = std::make_unique<MainWindowChannelHost>(main);
        auto* window =
            new ChannelWindow(main->session(), ChannelCode::fromText(code).value_or(ChannelCode()),
                              main->comLink(), *host, host.get());
        window->adoptHost(std::move(host));
        return window;
    };
}

void installChannelWindows(MainWindow& main) {
    main.setChannelViewFactory(channelWindowFactory());
}

} // namespace velmara
