#include "services.h"

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

QString RefusedWebAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("not a web address: ") + url.toString();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return QString();
    // Plain http carries the password in the clear: only to this machine, as tests do.
    const QString host = url.host().toLower();
    const bool loopback = host == QLatin1String("localhost") || host == QLatin1String("::1")
        || (host.startsWith(QLatin1String("127.")) && host.count(u'.') == 3);
    if (scheme == QLatin1String("http") && loopback)
        return QString();
    return QStringLiteral("the address must use https: ") + url.toString(QUrl::RemoveQuery);
}
