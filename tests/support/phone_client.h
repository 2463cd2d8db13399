#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSslSocket>

namespace kavo::test {

/// One client connection to the phone server, over TLS (any certificate accepted) or plain TCP: it sends what it is
/// given, when it is given, and keeps all the server sends until the connection ends or fails.
class PhoneClient : public QObject
{
public:
    PhoneClient(bool secure, quint16 port, const QHostAddress& host = QHostAddress::LocalHost)
    {
        connect(&socket, &QSslSocket::readyRead, this, [this] { received += socket.readAll(); });
        connect(&socket, &QSslSocket::disconnected, this, [this] { closed = true; });
        connect(&socket, &QSslSocket::errorOccurred, this, [this] { closed = true; });
        if (secure) {
            socket.setPeerVerifyMode(QSslSocket::VerifyNone);
            socket.connectToHostEncrypted(host.toString(), port);
        } else {
            socket.connectToHost(host, port);
        }
    }

    void send(const QByteArray& bytes) { socket.write(bytes); }

    QSslSocket socket;
    QByteArray received;
    bool closed = false;
};

} // namespace kavo::test
