#include "qrzclient.h"

#include "platform/services.h"
#include "stationdb/callsign.h"
#include "stationdb/settingsstore.h"

#include <QRegularExpression>
#include <QUrlQuery>

std::optional<QString> QrzTagValue(const QString &answer, const QString &tag)
{
    const QString open = u'<' + tag + u'>';
    const qsizetype start = answer.indexOf(open);
    if (start < 0)
        return std::nullopt;
    const qsizetype end = answer.indexOf(QStringLiteral("</") + tag + u'>', start + open.size());
    if (end < 0)
        return std::nullopt;
    return answer.mid(start + open.size(), end - start - open.size());
}

std::optional<QString> QrzSessionOf(const QString &answer)
{
    const std::optional<QString> key = QrzTagValue(answer, QStringLiteral("Key"));
    if (!key)
        return std::nullopt;
    return QStringLiteral("s=") + *key + u';';
}

QrzAnswer ParseQrzAnswer(const QString &answer)
{
    QrzAnswer a;
    a.error = QrzTagValue(answer, QStringLiteral("Error"));
    if (answer.contains(QLatin1String("<Error>")) && !a.error)
        a.error = QStringLiteral("the answer of QRZ was cut off");
    a.call = QrzTagValue(answer, QStringLiteral("call"));
    a.fname = QrzTagValue(answer, QStringLiteral("fname"));
    a.addr2 = QrzTagValue(answer, QStringLiteral("addr2"));
    a.county = QrzTagValue(answer, QStringLiteral("county"));
    const qsizetype state = answer.indexOf(QLatin1String("<state>"));
    if (state >= 0)
        a.state = answer.mid(state + 7, 2);
    return a;
}

QString QrzPlainText(const QString &value)
{
    // The XML's own escapes first: "O&apos;Fallon" is O'Fallon.
    static const QRegularExpression entity(
        QStringLiteral("&(amp|lt|gt|quot|apos|#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6});"));
    QString text;
    qsizetype last = 0;
    for (QRegularExpressionMatchIterator it = entity.globalMatch(value); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += value.mid(last, match.capturedStart() - last);
        const QString name = match.captured(1);
        if (name == QLatin1String("amp"))
            text += u'&';
        else if (name == QLatin1String("lt"))
            text += u'<';
        else if (name == QLatin1String("gt"))
            text += u'>';
        else if (name == QLatin1String("quot"))
            text += u'"';
        else if (name == QLatin1String("apos"))
            text += u'\'';
        else {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                ? name.mid(2).toUInt(&ok, 16)
                : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                text += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        }
        last = match.capturedEnd();
    }
    text += value.mid(last);
    // Accented letters become their base letter (the station files hold plain letters), and a
    // hyphen a blank, so "Winston-Salem" stays two words.
    QString folded;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded += c == u'-' ? u' ' : c;
    }
    return folded;
}

MemberFields FillFromQrz(MemberFields form, const QrzAnswer &answer, bool &focusCounty)
{
    focusCounty = false;
    // What the boxes would take as typed: no character of a value is lost on its way in.
    const auto plain = [](const QString &value) {
        return FilterText(FieldKind::Text, QrzPlainText(value)).toUpper();
    };
    if (answer.call)
        form.call = *answer.call;
    if (answer.fname)
        form.name = plain(answer.fname->section(u' ', 0, 0));
    if (answer.addr2)
        form.city = plain(*answer.addr2);
    if (answer.county)
        form.county = plain(*answer.county);
    if (answer.state) {
        if (!answer.state->isEmpty())
            focusCounty = true;
        form.city += u' ' + *answer.state;
    }
    return form;
}

QUrl QrzServiceUrl(const SettingsStore &settings)
{
    const QString stored = settings.get(QrzKeys::Section(), QrzKeys::Url()).trimmed();
    return QUrl(stored.isEmpty() ? QStringLiteral("https://xmldata.qrz.com/xml/current/") : stored);
}

QUrl QrzWebPage(const SettingsStore &settings, const QString &call)
{
    QString host = settings.get(QrzKeys::Section(), QrzKeys::Web()).trimmed();
    if (host.isEmpty())
        host = QStringLiteral("www.qrz.com");
    QUrl page(host.contains(QLatin1String("://")) ? host : QStringLiteral("https://") + host);
    page.setPath(QStringLiteral("/db/") + call);
    return page;
}

namespace {
// The value of a stored query fragment: "username=ALICE;" gives "ALICE".
QString fragmentValue(const QString &stored, const QString &name, bool trailingSemicolon)
{
    QString value = stored;
    if (value.startsWith(name + u'='))
        value = value.mid(name.size() + 1);
    if (trailingSemicolon && value.endsWith(u';'))
        value.chop(1);
    return value;
}

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QUrl withQuery(const QUrl &service, const QString &query)
{
    QUrl url = service;
    // The service reads its own query form ("name=value;name=value"), so it is set as
    // already encoded text.
    url.setQuery(query, QUrl::StrictMode);
    return url;
}
} // namespace

QUrl QrzLoginUrl(const QUrl &service, const QString &storedId, const QString &storedPassword)
{
    return withQuery(service,
        QStringLiteral("username=")
            + encoded(fragmentValue(storedId, QStringLiteral("username"), true))
            + QStringLiteral(";password=")
            + encoded(fragmentValue(storedPassword, QStringLiteral("password"), false)));
}

QUrl QrzLookupUrl(const QUrl &service, const QString &session, const QString &call)
{
    return withQuery(service,
        QStringLiteral("s=") + encoded(fragmentValue(session, QStringLiteral("s"), true))
            + QStringLiteral(";callsign=") + encoded(call));
}

QrzClient::QrzClient(SettingsStore &settings, WebClient *web, int timeoutMs)
    : m_settings(settings)
    , m_web(web)
    , m_timeoutMs(timeoutMs)
{
}

QString QrzClient::withoutSecrets(QString text) const
{
    // A server may quote what it was sent; the password and the session key never reach a
    // message, in any of the forms they travel in.
    const QString password = fragmentValue(
        m_settings.get(QrzKeys::Section(), QrzKeys::Password()), QStringLiteral("password"), false);
    const QString key = fragmentValue(
        m_session.isEmpty() ? m_settings.get(QrzKeys::Section(), QrzKeys::Key()) : m_session,
        QStringLiteral("s"), true);
    for (const QString &secret : { password, key }) {
        if (secret.isEmpty())
            continue;
        for (const QString &form : { secret, encoded(secret),
                 QString::fromLatin1(QUrl::toPercentEncoding(secret, "", " ")) })
            text.replace(form, QStringLiteral("***"));
    }
    return text;
}

Result<QString> QrzClient::ask(const QUrl &url)
{
    if (!m_web)
        return Status::Error(QStringLiteral("QRZ LOOKUP FAILED: no network"));
    // The password travels in the query: never in the clear to another machine.
    if (!RefusedWebAddress(url).isEmpty())
        return Status::Error(
            QStringLiteral("QRZ ADDRESS MUST USE HTTPS: ") + url.toString(QUrl::RemoveQuery));
    WebRequest request;
    request.url = url;
    request.stallMs = m_timeoutMs;
    request.totalMs = m_totalTimeoutMs;
    request.maxBytes = MaxAnswerBytes;
    const WebAnswer answer = m_web->get(request);
    if (answer.timedOut)
        return Status::Error(QStringLiteral("QRZ DID NOT ANSWER"));
    if (answer.tooLarge)
        return Status::Error(QStringLiteral("QRZ ANSWER TOO LARGE - NOT READ"));
    if (!answer.ok())
        return Status::Error(
            withoutSecrets(QStringLiteral("QRZ LOOKUP FAILED: ") + answer.failure.error()));
    return QString::fromUtf8(answer.body);
}

Status QrzClient::login()
{
    const Result<QString> answer = ask(
        QrzLoginUrl(QrzServiceUrl(m_settings), m_settings.get(QrzKeys::Section(), QrzKeys::Id()),
            m_settings.get(QrzKeys::Section(), QrzKeys::Password())));
    if (!answer)
        return answer.status();
    const std::optional<QString> session = QrzSessionOf(*answer);
    if (!session)
        return Status::Ok(); // refused: the next lookup tries again, the service says why
    m_session = *session;
    m_loggedIn = true;
    if (m_settings.get(QrzKeys::Section(), QrzKeys::Key()) != m_session) {
        if (const Status saved = m_settings.save(QrzKeys::Section(), QrzKeys::Key(), m_session);
            !saved)
            return Status::Error(QStringLiteral("SETTINGS NOT SAVED: ") + saved.error());
    }
    return Status::Ok();
}

Result<QrzAnswer> QrzClient::lookup(const QString &call)
{
    if (!m_loggedIn) {
        // A login that got no answer at all is told once; the lookup would only wait again.
        if (const Status logged = login(); !logged && !m_loggedIn)
            return logged;
    }
    const Result<QString> answer = ask(QrzLookupUrl(QrzServiceUrl(m_settings), m_session, call));
    if (!answer)
        return answer.status();
    QrzAnswer parsed = ParseQrzAnswer(*answer);
    if (parsed.error)
        parsed.error = withoutSecrets(*parsed.error);
    return parsed;
}
