#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

// A web server on 127.0.0.1 serving fixed bytes by path, 404 for any other; a path may be held
// open after part of its bytes, as a stalled connection would be.
class LocalWebServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalWebServer)

public:
    LocalWebServer();

    [[nodiscard]] QUrl url(const QString &path) const;
    void serve(const QString &path, const QByteArray &body);
    void holdAfter(const QString &path, qint64 bytes);

    QStringList requested; // the paths asked for, in order

private:
    void answer(QTcpSocket &socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_bodies;
    QHash<QString, qint64> m_holds;
};
