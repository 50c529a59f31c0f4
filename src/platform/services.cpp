#include "services.h"

#include <QHostAddress>

void SetCapsLock(Keyboard &keyboard, bool on)
{
    if (keyboard.capsLockOn() != on)
        keyboard.pressCapsLock();
}

void SetNumLock(Keyboard &keyboard, bool on)
{
    if (keyboard.numLockOn() != on)
        keyboard.pressNumLock();
}

namespace {
bool isLoopbackHost(const QUrl &url)
{
    // The host as given must be an address: a name could be made to point anywhere.
    QHostAddress address;
    return address.setAddress(url.host()) && address.isLoopback();
}

QString shown(const QUrl &url)
{
    return url.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment);
}
} // namespace

QString RefusedWebAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("not a web address: ") + shown(url);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return QString();
    // Plain http carries the password in the clear: only to this machine, as tests do.
    if (scheme == QLatin1String("http") && isLoopbackHost(url))
        return QString();
    return QStringLiteral("the address must use https: ") + shown(url);
}

QString RefusedRedirect(const QUrl &from, const QUrl &to)
{
    const QString refused = QStringLiteral("refused a redirect to ") + shown(to);
    if (!RefusedWebAddress(to).isEmpty())
        return refused;
    if (from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) {
        if (to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
            return refused;
        return QString();
    }
    // From this machine only to this machine.
    QHostAddress a, b;
    if (!a.setAddress(from.host()) || !b.setAddress(to.host()) || !a.isEqual(b))
        return refused;
    return QString();
}
