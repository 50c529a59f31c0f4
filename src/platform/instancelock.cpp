#include "instancelock.h"

#include "services.h"
#include "stationdb/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#endif

namespace {

#ifdef Q_OS_LINUX
QString ExecutableName(const QString &pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}
#endif

// Whether the process that wrote a lock on this computer still runs this program. A
// process id taken over by another program after a power cut is no holder.
bool HolderRuns(qint64 pid)
{
    if (pid <= 0)
        return false;
#ifdef Q_OS_WIN
    return true; // Qt's own check of the lock judged it running
#else
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
#ifdef Q_OS_LINUX
    const QString theirs = ExecutableName(QString::number(pid));
    const QString ours = ExecutableName(QStringLiteral("self"));
    // Where the name cannot be read, the process counts as ours: never take a live lock.
    return theirs.isEmpty() || ours.isEmpty() || theirs == ours;
#else
    return true;
#endif
#endif
}

} // namespace

InstanceLock::InstanceLock(const Paths &paths)
    : m_paths(paths)
{
}

InstanceLock::~InstanceLock() = default;

Status InstanceLock::acquire()
{
    m_foreign.reset();
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
        if (!host.isEmpty() && host != QSysInfo::machineHostName()) {
            // A root carried between computers: whether that copy still runs cannot be
            // seen from here, so the operator decides.
            m_foreign = ForeignLock { host, pid, QFileInfo(m_paths.lockFile()).lastModified() };
            return Status::Error(
                QStringLiteral("VORQ was started for %1 on the computer %2 at %3 (process %4).")
                    .arg(QDir::toNativeSeparators(m_paths.root()), host,
                        m_foreign->since.toString(QStringLiteral("M/d/yyyy HH:mm")))
                    .arg(pid));
        }
        if (!HolderRuns(pid))
            return takeOver();
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

Status InstanceLock::takeOver()
{
    m_foreign.reset();
    if (!m_lock)
        m_lock = std::make_unique<QLockFile>(m_paths.lockFile());
    m_lock->setStaleLockTime(0);
    if (m_lock->isLocked())
        return Status::Ok();
    if (!m_lock->removeStaleLockFile() && QFileInfo::exists(m_paths.lockFile()))
        return Status::Error(FileError(m_paths.lockFile(), QStringLiteral("cannot remove")));
    if (m_lock->tryLock(0))
        return Status::Ok();
    return Status::Error(FileError(m_paths.lockFile(), QStringLiteral("cannot create the lock")));
}

bool AskToTakeOverLock(Dialogs &dialogs, const InstanceLock &lock)
{
    const std::optional<ForeignLock> &foreign = lock.foreignLock();
    if (!foreign)
        return false;
    const QString question
        = QStringLiteral("VORQ ON THE COMPUTER %1 HAS USED THIS PROGRAM FOLDER SINCE %2 "
                         "(PROCESS %3).\n\nTAKE IT OVER ONLY IF VORQ NO LONGER RUNS THERE: "
                         "TWO COPIES WOULD OVERWRITE EACH OTHER'S CHECK-INS.\n\nTAKE IT OVER?")
              .arg(foreign->host, foreign->since.toString(QStringLiteral("M/d/yyyy HH:mm")))
              .arg(foreign->pid);
    return dialogs.message(nullptr, QStringLiteral("PROGRAM FOLDER IN USE"), question,
               MsgIcon::Warning, Yes | No, No)
        == Yes;
}

void RemoveLeftoverWrites(const Paths &paths)
{
    for (const QString &folder : { paths.dataFolder(), paths.settingsFolder(), paths.root(),
             paths.appDataFolder() + MakerFolderName() + u'/', paths.sessionsFolder(),
             paths.programFolder() })
        RemoveLeftoverTemporaries(folder);
    // A licence import from the command line (a weekly timer) may be building its new
    // database there right now: its files are left to it, and it clears what a killed
    // import left before it starts.
    QLockFile import(paths.licencesFolder() + Paths::licenceImportLockName());
    import.setStaleLockTime(0);
    if (import.tryLock(0))
        RemoveLeftoverTemporaries(paths.licencesFolder());
}
