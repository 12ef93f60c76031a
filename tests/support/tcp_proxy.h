#pragma once
// A TCP relay between the program and a server, on the test's event loop,
// that can be cut (every connection dropped and no new one taken) and joined
// again: the network between a station and its server, as a test needs it.
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace velmara::test {

class TcpProxy : public QObject {
public:
    TcpProxy(QString host, quint16 port) : m_host(std::move(host)), m_port(port) {
        connect(&m_listener, &QTcpServer::newConnection, this, &TcpProxy::take);
        m_listener.listen(QHostAddress::LocalHost);
        m_listenPort = m_listener.serverPort();
    }
    quint16 port() const { return m_listenPort; }
    // Every piece of data is passed on this much later (both ways).
    void setDelay(int ms) { m_delay = ms; }

    // Drops every connection and refuses new ones.
    void cut() {
        m_listener.close();
        for (const auto& pair : std::as_const(m_pairs)) {
            if (pair.first)
                pair.first->abort();
            if (pair.second)
                pair.second->abort();
        }
        m_pairs.clear();
    }
    void join() {
        if (!m_listener.isListening())
            m_listener.listen(QHostAddress::LocalHost, m_listenPort);
    }

private:
    void take() {
        while (QTcpSocket* client = m_listener.nextPendingConnection()) {
            auto* upstream = new QTcpSocket(this);
            client->setParent(this);
            connect(client, &QTcpSocket::readyRead, upstream,
                    [this, client, upstream] { pass(client->readAll(), upstream); });
            connect(upstream, &QTcpSocket::readyRead, client,
                    [this, client, upstream] { pass(upstream->readAll(), client); });
            connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
            connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
            upstream->connectToHost(m_host, m_port);
            m_pairs.append(qMakePair(QPointer<QTcpSocket>(client), QPointer<QTcpSocket>(upstream)));
        }
    }

    void pass(const QByteArray& data, QTcpSocket* to) {
        if (m_delay <= 0) {
            to->write(data);
            return;
        }
        QPointer<QTcpSocket> target(to);
        QTimer::singleShot(m_delay, this, [target, data] {
            if (target)
                target->write(data);
        });
    }

    QString m_host;
    int m_delay = 0;
    quint16 m_port;
    quint16 m_listenPort = 0;
    QTcpServer m_listener;
    QList<QPair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> m_pairs;
};

} // namespace velmara::test
