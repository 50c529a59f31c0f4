#include "loopbackhttp.h"

#include <QTcpSocket>

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
    socket->write("HTTP/1.1 " + QByteArray::number(reply->status)
        + (reply->status == 200 ? " OK" : " Failed")
        + "\r\nContent-Type: text/xml\r\nConnection: close\r\n"
          "Content-Length: "
        + QByteArray::number(reply->body.size()) + "\r\n\r\n" + reply->body);
    socket->disconnectFromHost();
}
