#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>
#include <functional>
#include <optional>

// A small HTTP server on this machine for tests of the program's real web client. Each GET
// is recorded (path and raw query) and answered with what the handler returns for it; a
// handler that returns nothing leaves the connection open without an answer.
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
        QByteArray body;
        int status;
    };
    using Handler = std::function<std::optional<Reply>(const QUrl &request)>;

    explicit LoopbackHttp(Handler handler = {});
    // http://127.0.0.1:<port> + path
    QUrl url(const QString &path) const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // The requests so far, as path + "?" + raw query.
    const QStringList &requests() const { return m_requests; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    Handler m_handler;
    QStringList m_requests;
};
