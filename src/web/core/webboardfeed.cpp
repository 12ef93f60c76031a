#include "web/core/webboardfeed.h"

#include "channel/core/channelboard.h"
#include "channel/core/channelscreen.h"
#include "charts/core/livecurve.h"
#include "data/valuestrings.h"
#include "web/core/webfeed.h"

namespace velmara {

namespace {

QStringList lineTexts(const QList<EndValueDisplayLine>& lines) {
    QStringList texts;
    for (const EndValueDisplayLine& line : lines)
        texts << line.text;
    return texts;
}

} // namespace

WebBoardFeed::WebBoardFeed(ChannelBoard& board, WebFeed& feed,
                           std::function<QString(const QString&)> title, QObject* parent)
    : QObject(parent), m_board(board), m_feed(feed), m_title(std::move(title)) {
    connect(&board, &ChannelBoard::snapshotChanged, this, &WebBoardFeed::follow);
    refresh();
}

void WebBoardFeed::refresh() {
    for (int number = 1; number <= ChannelCode::kMaxNumber; ++number) {
        const ChannelSnapshot snapshot = m_board.snapshot(ChannelCode(number));
        if (!snapshot.channelCode.isEmpty())
            show(snapshot);
    }
}

void WebBoardFeed::follow(const ChannelSnapshot& snapshot) {
    show(snapshot);
    // The curve takes what the channel window's live curve takes: each reading
    // once that goes to the temporary series.
    int& seen = m_readings[snapshot.channelCode];
    if (snapshot.readings == seen)
        return;
    seen = snapshot.readings;
    if (!snapshot.tempSeriesUsed || !LiveCurve::takesValue(snapshot.answerType, snapshot.stateCode))
        return;
    qint32& series = m_curveSeries[snapshot.channelCode];
    const bool reset = series != snapshot.tempSeriesId;
    series = snapshot.tempSeriesId;
    WebCurvePoint point;
    point.seconds = qint32(secondsSince(snapshot.tempSeriesStart, snapshot.readAt));
    point.millivolt = snapshot.voltageMv;
    point.milliampere = snapshot.currentMa;
    point.milliampereHours = snapshot.capacityMah;
    m_feed.addCurve(QString::number(ChannelCode::fromText(snapshot.channelCode)->number()), {point},
                    reset);
}

void WebBoardFeed::show(const ChannelSnapshot& snapshot) {
    const auto code = ChannelCode::fromText(snapshot.channelCode);
    const ChannelScreen* screen = code ? m_board.screen(*code) : nullptr;
    if (!screen)
        return;
    WebChannelView view;
    view.code = QString::number(code->number());
    view.title = m_title ? m_title(snapshot.channelCode) : snapshot.channelCode;
    view.state = screen->text(ChannelField::Status);
    view.fault = snapshot.fault;
    if (snapshot.valuesShown) {
        view.current = screen->text(ChannelField::Strom);
        view.voltage = screen->text(ChannelField::Spannung);
        view.capacity = screen->text(ChannelField::Kapazitaet);
    }
    view.stale = snapshot.valuesStale;
    if (snapshot.recording)
        view.recording = screen->text(ChannelField::MesswerteHeading);
    view.afterCharge = lineTexts(screen->chargeLines());
    view.afterDischarge = lineTexts(screen->dischargeLines());
    view.readAtMs = snapshot.readAt.isValid() ? snapshot.readAt.toMSecsSinceEpoch() : 0;
    m_feed.showChannel(view);
}

} // namespace velmara
