#pragma once
// A TCP relay between the program and a server, on the test's event loop,
// that can be cut (every connection dropped and no new one taken) and joined
// again: the network between a station and its server, as a test needs it.
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace velmara::test {

class TcpProxy : public QObject {
public:
    TcpProxy(QString host, quint16 port) : m_host(std::move(host)), m_port(port) {
        connect(&m_listener, &QTcpServer::newConnection, this, &TcpProxy::take);
        m_listener.listen(QHostAddress::LocalHost);
        m_listenPort = m_listener.serverPort();
    }
    quint16 port() const { return m_listenPort; }

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
                    [client, upstream] { upstream->write(client->readAll()); });
            connect(upstream, &QTcpSocket::readyRead, client,
                    [client, upstream] { client->write(upstream->readAll()); });
            connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
            connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
            upstream->connectToHost(m_host, m_port);
            m_pairs.append(qMakePair(QPointer<QTcpSocket>(client), QPointer<QTcpSocket>(upstream)));
        }
    }

    QString m_host;
    quint16 m_port;
    quint16 m_listenPort = 0;
    QTcpServer m_listener;
    QList<QPair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> m_pairs;
};

} // namespace velmara::test
