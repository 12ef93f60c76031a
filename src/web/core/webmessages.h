#pragma once
// The messages of the live feed, as JSON text. Every text goes into a JSON
// string (the page sets it as text, never as markup), so nothing a user typed
// can become part of the page.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace velmara {

// One channel as the page shows it: the texts as the channel window shows them.
struct WebChannelView {
    QString code; // "1" .. "4"
    QString title;
    bool visible = true;
    QString state;
    bool fault = false;
    QString current, voltage, capacity;
    bool stale = false; // the values stopped with a fault
    QString recording;  // battery and series being recorded, "" when none
    QStringList afterCharge, afterDischarge;
    // When the charger's answer behind these values was read (ms since the
    // epoch, 0 before the first): the page measures how late it shows them.
    qint64 readAtMs = 0;
    bool operator==(const WebChannelView&) const = default;
};

// One value of a channel's running curve.
struct WebCurvePoint {
    qint32 seconds = 0;
    qint32 millivolt = 0;
    qint32 milliampere = 0;
    qint32 milliampereHours = 0;
};

// {"type":"hello","language":..,"texts":{..}}: the page's own words.
QByteArray webHelloMessage(const QString& language, const QMap<QString, QString>& texts);
// {"type":"channel",...}: everything the page shows of one channel.
QByteArray webChannelMessage(const WebChannelView& view);
// {"type":"curve","channel":..,"reset":..,"points":[[s, V, A, Ah], ...]}; reset:
// the points replace what the page has (a new temporary series).
QByteArray webCurveMessage(const QString& code, const QList<WebCurvePoint>& points, bool reset);

} // namespace velmara
