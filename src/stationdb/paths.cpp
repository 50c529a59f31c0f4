#include "paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString withSlash(QString path)
{
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}
} // namespace

Paths Paths::underRoot(const QString &root)
{
    Paths p;
    p.m_root = withSlash(QDir(root).absolutePath());
    p.m_driveRoot = p.m_root;
    p.m_appData = p.m_root + QStringLiteral("AppData/");
    p.m_settingsFolder = p.m_root + QStringLiteral("Settings/");
    p.m_portable = true;
    return p;
}

Paths Paths::fromEnvironment()
{
    return fromRoot(qEnvironmentVariable("VORQ_ROOT"));
}

Paths Paths::fromRoot(const QString &root)
{
    if (!root.isEmpty())
        return underRoot(root);

    Paths p;
#ifdef Q_OS_WIN
    p.m_root = QStringLiteral("C:/VORQ/");
    p.m_driveRoot = QStringLiteral("C:/");
    p.m_appData = withSlash(qEnvironmentVariable("APPDATA"));
#else
    p.m_root = withSlash(QDir::homePath() + QStringLiteral("/VORQ"));
    p.m_driveRoot = p.m_root;
    p.m_appData = withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
#endif
    p.m_settingsFolder
        = withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/VORQ"));
    return p;
}

QString Paths::settingsFile(const QString &application) const
{
    return m_settingsFolder + application + QStringLiteral(".ini");
}
