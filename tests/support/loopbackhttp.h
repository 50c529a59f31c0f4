#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>
#include <functional>
#include <optional>
#include <utility>

// A small HTTP server on this machine for tests of the program's real web client. Each GET
// is recorded (path and raw query) and answered with what the handler returns for it; a
// handler that returns nothing leaves the connection open without an answer. An answer can
// come slowly, stop halfway, redirect, or be far larger than anything a test holds.
class LoopbackHttp : public QObject
{
public:
    struct Reply
    {
        Reply(QByteArray text, int code = 200)
            : body(std::move(text))
            , status(code)
        {
        }
        static Reply redirect(const QUrl &to)
        {
            Reply reply("", 302);
            reply.headers.append({ "Location", to.toEncoded() });
            return reply;
        }
        QByteArray body;
        int status;
        QList<std::pair<QByteArray, QByteArray>> headers;
        // When set, the body is this many bytes of 'x', made as they are sent.
        qint64 generated = 0;
        // Sent pieceBytes at a time, one piece every paceMs (0: all at once).
        qint64 pieceBytes = 64 * 1024;
        int paceMs = 0;
        // After this many body bytes nothing more is sent, the connection stays open.
        qint64 stallAfter = -1;
        // The Content-Length sent: -1 the body's true size, -2 none (the end of the
        // connection ends the body).
        qint64 announced = -1;
    };
    using Handler = std::function<std::optional<Reply>(const QUrl &request)>;

    explicit LoopbackHttp(Handler handler = {});
    // http://127.0.0.1:<port> + path
    QUrl url(const QString &path) const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // The requests so far, as path + "?" + raw query.
    const QStringList &requests() const { return m_requests; }
    // Body bytes sent so far, all answers together.
    qint64 sentBytes() const { return m_sent; }

private:
    void serve(QTcpSocket *socket);
    void send(QTcpSocket *socket, const Reply &reply);

    QTcpServer m_server;
    Handler m_handler;
    QStringList m_requests;
    qint64 m_sent = 0;
};
