#include "web/core/webmessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmara {

namespace {
QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
} // namespace

QByteArray webHelloMessage(const QString& language, const QMap<QString, QString>& texts) {
    QJsonObject words;
    for (auto it = texts.begin(); it != texts.end(); ++it)
        words.insert(it.key(), it.value());
    return compact({{"type", "hello"}, {"language", language}, {"texts", words}});
}

QByteArray webChannelMessage(const WebChannelView& view) {
    return compact({{"type", "channel"},
                    {"channel", view.code},
                    {"title", view.title},
                    {"visible", view.visible},
                    {"state", view.state},
                    {"fault", view.fault},
                    {"current", view.current},
                    {"voltage", view.voltage},
                    {"capacity", view.capacity},
                    {"stale", view.stale},
                    {"recording", view.recording},
                    {"afterCharge", QJsonArray::fromStringList(view.afterCharge)},
                    {"afterDischarge", QJsonArray::fromStringList(view.afterDischarge)},
                    {"readAt", double(view.readAtMs)}});
}

QByteArray webCurveMessage(const QString& code, const QList<WebCurvePoint>& points, bool reset) {
    QJsonArray list;
    for (const WebCurvePoint& p : points)
        list.append(QJsonArray{p.seconds, p.millivolt / 1000.0, p.milliampere / 1000.0,
                               p.milliampereHours / 1000.0});
    return compact({{"type", "curve"}, {"channel", code}, {"reset", reset}, {"points", list}});
}

} // namespace velmara
