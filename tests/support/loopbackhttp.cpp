#include "loopbackhttp.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

LoopbackHttp::LoopbackHttp(Handler handler)
    : m_handler(std::move(handler))
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

QUrl LoopbackHttp::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LoopbackHttp::serve(QTcpSocket *socket)
{
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    if (!received.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> line = received.left(received.indexOf("\r\n")).split(' ');
    const QUrl target = QUrl::fromEncoded(line.value(1), QUrl::TolerantMode);
    m_requests << target.path() + u'?' + target.query(QUrl::FullyEncoded);
    const std::optional<Reply> reply = m_handler ? m_handler(target) : Reply(QByteArray());
    if (!reply)
        return; // accepted, never answered
    send(socket, *reply);
}

void LoopbackHttp::send(QTcpSocket *socket, const Reply &reply)
{
    const qint64 size = reply.generated > 0 ? reply.generated : reply.body.size();
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status)
        + (reply.status == 200 ? " OK" : " Failed")
        + "\r\nContent-Type: text/xml\r\nConnection: close\r\n";
    if (reply.announced != -2)
        head += "Content-Length: "
            + QByteArray::number(reply.announced >= 0 ? reply.announced : size) + "\r\n";
    for (const auto &[name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    socket->write(head + "\r\n");
    // The body goes out piece by piece, never more than a few pieces queued, so a huge or
    // slow answer holds no memory here.
    struct Progress
    {
        qint64 sent = 0;
    };
    auto progress = std::make_shared<Progress>();
    const qint64 limit = reply.stallAfter >= 0 ? std::min(reply.stallAfter, size) : size;
    auto *timer = new QTimer(socket);
    const auto pump = [this, socket, reply, progress, limit, size, timer] {
        while (progress->sent < limit && socket->bytesToWrite() < 4 * reply.pieceBytes) {
            const qint64 n = std::min(reply.pieceBytes, limit - progress->sent);
            const QByteArray piece
                = reply.generated > 0 ? QByteArray(n, 'x') : reply.body.mid(progress->sent, n);
            socket->write(piece);
            progress->sent += n;
            m_sent += n;
            if (reply.paceMs > 0)
                return;
        }
        if (progress->sent >= size) {
            timer->stop();
            socket->disconnectFromHost();
        }
    };
    if (reply.paceMs > 0) {
        connect(timer, &QTimer::timeout, socket, pump);
        timer->start(reply.paceMs);
    } else {
        connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    }
    pump();
}
