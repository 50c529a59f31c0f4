#include "folders.h"

#include "paths.h"

#include <QDir>
#include <QFileInfo>
#include <QOperatingSystemVersion>

QString GetSpecialFolder(const Paths &paths, int folderId)
{
    if (folderId != ApplicationDataFolderId)
        return QString();
    QString folder = paths.appDataFolder();
    if (folder.isEmpty())
        return QString();
    // A new account may not have the generic data folder yet; the shell always has it.
    if (!QDir().mkpath(folder))
        return QString();
    if (folder.endsWith(u'/') && folder.size() > 1)
        folder.chop(1);
    return folder;
}

bool IsFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

void AddSlash(QString &path)
{
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return;
#ifdef Q_OS_WIN
    path += u'\\';
#else
    path += u'/';
#endif
}

QString InitUserDataFolder(const Paths &paths)
{
    QString folder = GetSpecialFolder(paths, ApplicationDataFolderId);
    if (!IsFolder(folder))
        return QString();
    AddSlash(folder);
    if (MakerFolderName().isEmpty())
        return QString();
    folder += MakerFolderName();
    AddSlash(folder);
    return folder;
}

QString WindowsVersionNameFor(int platformId, int major, int minor)
{
    const QString key = QStringLiteral("%1.%2.%3").arg(platformId).arg(major).arg(minor);
    if (key == QLatin1String("2.5.1"))
        return QStringLiteral("Win XP");
    if (key == QLatin1String("2.6.0"))
        return QStringLiteral("Win Vista");
    if (key == QLatin1String("2.6.1"))
        return QStringLiteral("Win Seven");
    return QStringLiteral("Unknown");
}

QString GetWindowsVersionName()
{
#ifdef Q_OS_WIN
    const auto v = QOperatingSystemVersion::current();
    constexpr int WindowsNtPlatform = 2;
    return WindowsVersionNameFor(WindowsNtPlatform, v.majorVersion(), v.minorVersion());
#else
    return QStringLiteral("Unknown");
#endif
}
