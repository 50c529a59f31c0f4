#pragma once

#include "maintenance/membereditor.h"
#include "stationdb/result.h"

#include <QString>
#include <QUrl>
#include <optional>

class SettingsStore;
class WebClient;

namespace QrzKeys {
inline QString Section()
{
    return QStringLiteral("Settings");
}
inline QString Id()
{
    return QStringLiteral("QRZ ID");
}
inline QString Password()
{
    return QStringLiteral("QRZ PW");
}
inline QString Key()
{
    return QStringLiteral("QRZ Key");
}
inline QString Url()
{
    return QStringLiteral("QRZ Url");
}
inline QString Web()
{
    return QStringLiteral("QRZ Web");
}
// The "DO NOT ASK AGAIN" choice, kept under a sibling program's name.
inline QString NoShowApplication()
{
    return QStringLiteral("Pelnet");
}
inline QString NoShow()
{
    return QStringLiteral("chkNoShow");
}
} // namespace QrzKeys

// The tags of a lookup answer the program uses; a missing tag is none. Each value is the
// text between the first opening tag and the first closing tag after it.
struct QrzAnswer
{
    std::optional<QString> error;
    std::optional<QString> call;
    std::optional<QString> fname;
    std::optional<QString> addr2;
    std::optional<QString> county;
    std::optional<QString> state; // the two characters after "<state>"
};

// Another source of what a lookup would answer about a call (the licence database on this
// PC), asked when QRZ cannot be; none when it knows nothing of the call.
class OfflineAnswers
{
public:
    virtual ~OfflineAnswers() = default;
    virtual std::optional<QrzAnswer> offlineAnswer(const QString &call) = 0;
};

// The text between the first "<tag>" and the first "</tag>" after it; none when either is
// missing (a cut-off answer is no answer).
std::optional<QString> QrzTagValue(const QString &answer, const QString &tag);
// "s=" + the session key + ";" of a login answer, or none when it holds no whole key.
std::optional<QString> QrzSessionOf(const QString &answer);
QrzAnswer ParseQrzAnswer(const QString &answer);
// A value of the answer as plain text: the XML escapes decoded, accented letters as their
// base letter, a hyphen as a blank.
QString QrzPlainText(const QString &value);
// The member form as a lookup fills it: call; first word of the first name in capitals;
// city in capitals; county in capitals, each as plain text the boxes take; the state appended to
// the city box after a blank. focusCounty is set when a state came, so the operator checks the
// county.
MemberFields FillFromQrz(MemberFields form, const QrzAnswer &answer, bool &focusCounty);

// The service's address (Settings/QRZ Url, else the real service over https) and the
// station's page on the web site (Settings/QRZ Web, else www.qrz.com).
QUrl QrzServiceUrl(const SettingsStore &settings);
QUrl QrzWebPage(const SettingsStore &settings, const QString &call);
// The login and lookup requests. The stored id and password forms ("username=" + id + ";",
// "password=" + password) are taken apart and their values percent-encoded, so a password
// holding ';', '&', '=', '#', '+' or a blank arrives as typed.
QUrl QrzLoginUrl(const QUrl &service, const QString &storedId, const QString &storedPassword);
QUrl QrzLookupUrl(const QUrl &service, const QString &session, const QString &call);

// The login and lookups of one run of the program. A login that gets an answer without a
// key leaves it logged out, and the next lookup tries again first.
class QrzClient
{
public:
    // No byte for this long ends a request.
    static constexpr int TimeoutMs = 10000;
    // A trickle that keeps the stall bound alive still ends here.
    static constexpr int TotalTimeoutMs = 30000;
    // An answer of one station is a few kilobytes: anything near this is no answer.
    static constexpr qint64 MaxAnswerBytes = 1024 * 1024;

    QrzClient(SettingsStore &settings, WebClient *web, int timeoutMs = TimeoutMs);

    bool loggedIn() const { return m_loggedIn; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    void setTotalTimeoutMs(int ms) { m_totalTimeoutMs = ms; }
    const QString &session() const { return m_session; }

    // Asks the service for a session key. An error only when the service could not be asked
    // or did not answer ("QRZ DID NOT ANSWER" ...); a refused login is no error.
    Status login();
    // Looks a call up, logging in first when this run has not. The answer (which may carry
    // the service's error text), or why there is none.
    Result<QrzAnswer> lookup(const QString &call);

private:
    Result<QString> ask(const QUrl &url);
    // The text with the stored password and the session key blanked out.
    QString withoutSecrets(QString text) const;

    SettingsStore &m_settings;
    WebClient *m_web;
    int m_timeoutMs;
    int m_totalTimeoutMs = TotalTimeoutMs;
    QString m_session;
    bool m_loggedIn = false;
};
