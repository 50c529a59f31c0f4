#include "qtwebclient.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
constexpr qint64 kChunk = 64 * 1024;

// The reason of a failed transfer in our own words: Qt's texts may quote the whole address,
// query and all.
QString reason(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("the connection was refused");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("the server closed the connection");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("the server was not found");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("the secure connection failed");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("the network is down");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("too many redirects");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("a redirect left https");
    default:
        return QStringLiteral("the transfer failed (error %1)").arg(int(error));
    }
}

// One transfer and its bounds.
class Transfer
{
public:
    Transfer(const WebRequest &request, QNetworkReply *reply, WebAnswer &answer)
        : m_request(request)
        , m_reply(reply)
        , m_answer(answer)
        , m_host(request.url.host())
    {
    }

    void run()
    {
        if (!m_request.file.isEmpty()) {
            m_file.setFileName(m_request.file);
            if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                fail(m_request.file + QStringLiteral(": ") + m_file.errorString());
                return;
            }
        }
        QTimer stall;
        stall.setSingleShot(true);
        QTimer total;
        total.setSingleShot(true);
        QObject::connect(&stall, &QTimer::timeout, &m_loop, [this] {
            timeOut(QStringLiteral("%1: nothing arrived for %2 s")
                        .arg(m_host)
                        .arg((m_request.stallMs + 999) / 1000));
        });
        QObject::connect(&total, &QTimer::timeout, &m_loop, [this] {
            timeOut(QStringLiteral("%1: not complete within %2 s")
                        .arg(m_host)
                        .arg((m_request.totalMs + 999) / 1000));
        });
        QObject::connect(m_reply, &QNetworkReply::redirected, &m_loop, [this](const QUrl &to) {
            const QUrl target = m_current.resolved(to);
            if (const QString refused = RefusedRedirect(m_current, target); !refused.isEmpty()) {
                fail(m_host + QStringLiteral(": ") + refused);
                return;
            }
            m_current = target;
            m_announced = -1;
            emit m_reply->redirectAllowed();
        });
        QObject::connect(m_reply, &QNetworkReply::metaDataChanged, &m_loop, [this] {
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            if (!length.isValid())
                return;
            m_announced = length.toLongLong();
            if (m_announced > m_request.maxBytes)
                refuseSize();
        });
        QObject::connect(m_reply, &QNetworkReply::readyRead, &m_loop, [this, &stall] {
            stall.start(m_request.stallMs);
            take();
        });
        QObject::connect(m_reply, &QNetworkReply::downloadProgress, &m_loop,
            [this, &stall](qint64 received, qint64 size) {
                stall.start(m_request.stallMs);
                if (m_request.progress && m_answer.failure.ok())
                    m_request.progress(received, size);
            });
        QObject::connect(m_reply, &QNetworkReply::finished, &m_loop, &QEventLoop::quit);
        m_current = m_request.url;
        stall.start(m_request.stallMs);
        if (m_request.totalMs > 0)
            total.start(m_request.totalMs);
        if (!m_reply->isFinished())
            m_loop.exec(QEventLoop::ExcludeUserInputEvents);
        finish();
    }

private:
    void fail(const QString &error)
    {
        if (m_answer.failure.ok())
            m_answer.failure = Status::Error(error);
        m_reply->abort();
        m_loop.quit();
    }

    void timeOut(const QString &error)
    {
        m_answer.timedOut = true;
        fail(error);
    }

    void refuseSize()
    {
        m_answer.tooLarge = true;
        fail(QStringLiteral("%1: the answer is larger than %2 KB")
                 .arg(m_host)
                 .arg(m_request.maxBytes / 1024));
    }

    // Reads what has arrived, so no more than a chunk is ever held beyond the cap.
    void take()
    {
        while (m_answer.failure.ok() && m_reply->bytesAvailable() > 0) {
            const QByteArray chunk = m_reply->read(kChunk);
            m_received += chunk.size();
            if (m_received > m_request.maxBytes) {
                refuseSize();
                return;
            }
            if (!m_file.isOpen()) {
                m_answer.body += chunk;
            } else if (m_file.write(chunk) != chunk.size()) {
                fail(m_request.file + QStringLiteral(": ") + m_file.errorString());
                return;
            }
        }
    }

    void finish()
    {
        if (m_answer.failure.ok()) {
            const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            m_answer.status = status;
            if (m_reply->error() == QNetworkReply::OperationCanceledError
                || m_reply->error() == QNetworkReply::TimeoutError) {
                m_answer.timedOut = true;
                m_answer.failure = Status::Error(m_host + QStringLiteral(": no answer"));
            } else if (status >= 400) {
                m_answer.failure
                    = Status::Error(QStringLiteral("%1 answered %2").arg(m_host).arg(status));
            } else if (m_reply->error() != QNetworkReply::NoError) {
                m_answer.failure
                    = Status::Error(m_host + QStringLiteral(": ") + reason(m_reply->error()));
            } else if (status >= 300) {
                m_answer.failure
                    = Status::Error(QStringLiteral("%1 answered %2").arg(m_host).arg(status));
            } else if (status < 200) {
                // A redirected request whose connection closed before any answer ends
                // without error, on the status Qt starts from: that is no empty answer.
                m_answer.failure
                    = Status::Error(m_host + QStringLiteral(": the answer arrived incomplete"));
            } else {
                take();
                // A connection that ended early leaves less than the server announced.
                if (m_answer.failure.ok() && m_announced >= 0 && m_received != m_announced)
                    m_answer.failure
                        = Status::Error(m_host + QStringLiteral(": the answer arrived incomplete"));
            }
        }
        if (m_file.isOpen()) {
            // A file that is not whole on the disk is no download.
            if (m_answer.failure.ok()
                && (!m_file.flush()
#ifndef Q_OS_WIN
                    || ::fsync(m_file.handle()) != 0
#endif
                    ))
                m_answer.failure
                    = Status::Error(m_request.file + QStringLiteral(": ") + m_file.errorString());
            m_file.close();
        }
        if (!m_answer.failure.ok())
            m_answer.body.clear();
    }

    const WebRequest &m_request;
    QNetworkReply *m_reply;
    WebAnswer &m_answer;
    QString m_host;
    QUrl m_current;
    QEventLoop m_loop;
    QFile m_file;
    qint64 m_received = 0;
    qint64 m_announced = -1;
};
} // namespace

QtWebClient::QtWebClient() = default;
QtWebClient::~QtWebClient() = default;

WebAnswer QtWebClient::get(const WebRequest &request)
{
    WebAnswer answer;
    if (const QString refused = RefusedWebAddress(request.url); !refused.isEmpty()) {
        answer.failure = Status::Error(refused);
        return answer;
    }
    if (!m_network)
        m_network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest networkRequest(request.url);
    // Every redirect is checked by the same rule as the first address before it is followed.
    networkRequest.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    networkRequest.setMaximumRedirectsAllowed(5);
    QNetworkReply *reply = m_network->get(networkRequest);
    // Memory stays bounded however fast a large answer arrives.
    reply->setReadBufferSize(kChunk * 4);
    Transfer(request, reply, answer).run();
    reply->deleteLater();
    return answer;
}
