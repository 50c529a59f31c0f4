#include "instancelock.h"

#include "stationdb/atomicfile.h"

#include <QDir>

InstanceLock::InstanceLock(const Paths &paths)
    : m_paths(paths)
{
}

InstanceLock::~InstanceLock() = default;

Status InstanceLock::acquire()
{
    if (m_lock && m_lock->isLocked())
        return Status::Ok();
    if (!QDir().mkpath(m_paths.root()))
        return Status::Error(FileError(m_paths.root(), QStringLiteral("cannot create the folder")));
    m_lock = std::make_unique<QLockFile>(m_paths.lockFile());
    // Staleness is judged by whether the holder still runs, never by age: a net may run
    // for hours.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Status::Ok();
    switch (m_lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        return Status::Error(QStringLiteral("VORQ is already running for %1 (process %2).")
                                 .arg(QDir::toNativeSeparators(m_paths.root()))
                                 .arg(pid));
    }
    case QLockFile::PermissionError:
        return Status::Error(FileError(m_paths.lockFile(), QStringLiteral("permission denied")));
    default:
        return Status::Error(
            FileError(m_paths.lockFile(), QStringLiteral("cannot create the lock")));
    }
}

void RemoveLeftoverWrites(const Paths &paths)
{
    for (const QString &folder : { paths.dataFolder(), paths.settingsFolder(), paths.root(),
             paths.appDataFolder() + MakerFolderName() + u'/', paths.sessionsFolder() })
        RemoveLeftoverTemporaries(folder);
}
