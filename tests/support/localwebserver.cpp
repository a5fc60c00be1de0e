#include "tests/support/localwebserver.h"

#include <QTcpSocket>

LocalWebServer::LocalWebServer()
{
    if (!m_server.listen(QHostAddress::LocalHost))
        qFatal("the test web server cannot listen: %s", qPrintable(m_server.errorString()));
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(*socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LocalWebServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalWebServer::serve(const QString &path, const QByteArray &body)
{
    m_bodies.insert(path, body);
}

void LocalWebServer::holdAfter(const QString &path, qint64 bytes)
{
    m_holds.insert(path, bytes);
}

void LocalWebServer::answer(QTcpSocket &socket)
{
    // Requests are a few hundred bytes and come in one piece; they have no body.
    const QByteArray request = socket.readAll();
    if (!request.startsWith("GET "))
        return;
    const QString path = QString::fromLatin1(request.split(' ').value(1));
    requested.append(path);
    const auto found = m_bodies.constFind(path);
    const QByteArray body = found != m_bodies.cend() ? *found : QByteArrayLiteral("Not Found");
    socket.write(QByteArrayLiteral("HTTP/1.1 ") + (found != m_bodies.cend() ? "200 OK" : "404 Not Found") +
                 "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n");
    if (m_holds.contains(path)) {
        socket.write(body.left(m_holds.value(path)));
        return;
    }
    socket.write(body);
    socket.disconnectFromHost();
}
