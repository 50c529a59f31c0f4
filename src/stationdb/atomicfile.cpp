#include "atomicfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
#endif

#ifdef Q_OS_WIN
// Forces the bytes onto the disk: a rename that reached the disk before the data would
// leave an empty file after a power cut.
bool syncFile(QFileDevice &file)
{
    return _commit(file.handle()) == 0;
}
#endif

bool replaceFile(const QString &from, const QString &to, QString &error)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
            reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = QStringLiteral("cannot replace the file (error %1)").arg(GetLastError());
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        // The rename itself is made durable by syncing the folder; a failure here no longer
        // endangers the old content, so it is not reported.
        const int dir = ::open(
            QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }
    error = systemError();
    return false;
#endif
}

QString TemporaryMarker()
{
    return QStringLiteral(".vorq-tmp-");
}

QString ReadOnlyReason()
{
    return QStringLiteral("the file is read-only");
}

bool IsWritableByUs(const QString &path)
{
#ifdef Q_OS_WIN
    return QFileInfo(path).isWritable();
#else
    // The effective rights, as an open for writing would meet them.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
#endif
}

#ifndef Q_OS_WIN
mode_t PosixMode(QFileDevice::Permissions p)
{
    mode_t mode = 0;
    if (p & QFileDevice::ReadOwner)
        mode |= S_IRUSR;
    if (p & QFileDevice::WriteOwner)
        mode |= S_IWUSR;
    if (p & QFileDevice::ExeOwner)
        mode |= S_IXUSR;
    if (p & QFileDevice::ReadGroup)
        mode |= S_IRGRP;
    if (p & QFileDevice::WriteGroup)
        mode |= S_IWGRP;
    if (p & QFileDevice::ExeGroup)
        mode |= S_IXGRP;
    if (p & QFileDevice::ReadOther)
        mode |= S_IROTH;
    if (p & QFileDevice::WriteOther)
        mode |= S_IWOTH;
    if (p & QFileDevice::ExeOther)
        mode |= S_IXOTH;
    return mode;
}

// Writes every byte, going on after a short write or a signal; the reason of a failure.
QString WriteAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? systemError() : QStringLiteral("nothing written");
        done += n;
    }
    return QString();
}
#endif

} // namespace

Status WriteFileAtomically(
    const QString &givenPath, const QByteArray &content, QFileDevice::Permissions newPermissions)
{
    QFileInfo target(givenPath);
    // A link is followed, so the rename replaces the file it points to, not the link.
    const QString path
        = target.isSymLink() && target.exists() ? target.canonicalFilePath() : givenPath;
    target = QFileInfo(path);
    if (target.exists() && !target.isFile())
        return Status::Error(FileError(path, QStringLiteral("not a regular file")));
    if (Status writable = CheckWritable(path); !writable)
        return writable;
#ifdef Q_OS_WIN
    QTemporaryFile temp(path + TemporaryMarker() + QStringLiteral("XXXXXX"));
    if (!temp.open())
        return Status::Error(FileError(path, temp.errorString()));
    temp.setAutoRemove(true);
    if (temp.write(content) != content.size() || !temp.flush()
        || temp.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, temp.errorString()));
    if (!syncFile(temp))
        return Status::Error(FileError(path, QStringLiteral("cannot flush to disk")));
    if (!temp.setPermissions(target.exists() ? target.permissions() : newPermissions))
        return Status::Error(FileError(path, temp.errorString()));
    temp.close();
    if (temp.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, temp.errorString()));
    QString error;
    if (!replaceFile(temp.fileName(), path, error))
        return Status::Error(FileError(path, error));
    temp.setAutoRemove(false);
    return Status::Ok();
#else
    // Plain system calls: each failure is told with the system's own reason ("No space left
    // on device"), which a buffered Qt write can lose on the way.
    mode_t mode = 0;
    struct stat existing;
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0)
        mode = existing.st_mode & 07777; // a replaced file keeps its exact mode
    else
        mode = PosixMode(newPermissions);
    QByteArray tempName = QFile::encodeName(path + TemporaryMarker()) + "XXXXXX";
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return Status::Error(FileError(path, systemError()));
    struct Cleanup
    {
        QByteArray name;
        int fd;
        bool keep = false;
        ~Cleanup()
        {
            if (fd >= 0)
                ::close(fd);
            if (!keep)
                ::unlink(name.constData());
        }
    } cleanup { tempName, fd };
    const QString failure = WriteAll(fd, content);
    if (!failure.isEmpty())
        return Status::Error(FileError(path, failure));
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return Status::Error(FileError(path, systemError()));
    cleanup.fd = -1;
    if (::close(fd) != 0)
        return Status::Error(FileError(path, systemError()));
    QString error;
    if (!replaceFile(QFile::decodeName(tempName), path, error))
        return Status::Error(FileError(path, error));
    cleanup.keep = true;
    return Status::Ok();
#endif
}

Status SyncAndReplaceFile(const QString &finished, const QString &target)
{
    // A finished file that vanished (something cleared it away) must not come back empty
    // in the target's place.
    QFile file(finished);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return Status::Error(FileError(finished, file.errorString()));
#ifdef Q_OS_WIN
    const bool synced = syncFile(file);
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    file.close();
    if (!synced)
        return Status::Error(FileError(finished, QStringLiteral("cannot flush to disk")));
    QString error;
    if (!replaceFile(finished, target, error))
        return Status::Error(FileError(target, error));
    return Status::Ok();
}

Status AppendLineDurably(const QString &path, const QByteArray &line)
{
#ifdef Q_OS_WIN
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return Status::Error(FileError(path, file.errorString()));
    QByteArray bytes = line;
    if (file.size() > 0) {
        char last = 0;
        if (!file.seek(file.size() - 1) || !file.getChar(&last))
            return Status::Error(FileError(path, file.errorString()));
        if (last != '\n')
            bytes.prepend('\n');
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        return Status::Error(FileError(path, file.errorString()));
    if (!syncFile(file))
        return Status::Error(
            FileError(path, QStringLiteral("cannot force the line onto the disk")));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, file.errorString()));
    return Status::Ok();
#else
    // Plain system calls, so a failure names the system's reason ("No space left on device").
    const int fd = ::open(
        QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Status::Error(FileError(path, systemError()));
    struct Closer
    {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer { fd };
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return Status::Error(FileError(path, systemError()));
    QByteArray bytes = line;
    if (info.st_size > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, info.st_size - 1) != 1)
            return Status::Error(FileError(path, systemError()));
        if (last != '\n')
            bytes.prepend('\n');
    }
    QString error = WriteAll(fd, bytes);
    if (error.isEmpty() && ::fsync(fd) != 0)
        error = systemError();
    if (!error.isEmpty()) {
        if (::ftruncate(fd, info.st_size) != 0)
            qWarning() << "cannot cut off a partly written line" << path;
        return Status::Error(FileError(path, error));
    }
    closer.fd = -1;
    if (::close(fd) != 0)
        return Status::Error(FileError(path, systemError()));
    return Status::Ok();
#endif
}

Result<QByteArray> ReadWholeFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Status::Error(FileError(path, QStringLiteral("no such file")));
    if (!info.isFile())
        return Status::Error(FileError(path, QStringLiteral("not a regular file")));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::Error(FileError(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, file.errorString()));
    return bytes;
}

Result<QByteArray> ReadFileHead(const QString &path, qsizetype maxBytes)
{
#ifdef Q_OS_WIN
    Result<QByteArray> whole = ReadWholeFile(path);
    if (whole && whole->size() > maxBytes)
        whole.value().truncate(maxBytes);
    return whole;
#else
    // Non-blocking, so that opening a pipe returns at once; it is refused just below.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return Status::Error(FileError(path, systemError()));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer { fd };
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return Status::Error(FileError(path, systemError()));
    if (!S_ISREG(info.st_mode))
        return Status::Error(FileError(path, QStringLiteral("not a regular file")));
    QByteArray bytes(std::min<qsizetype>(maxBytes, qsizetype(info.st_size)), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Status::Error(FileError(path, systemError()));
        if (n == 0)
            break; // the file shrank meanwhile: what is there is the file
        got += n;
    }
    bytes.truncate(got);
    return bytes;
#endif
}

int RemoveLeftoverTemporaries(const QString &folder)
{
    // Only names with our marker: "Lee.dat.backup" or "notes.txt.2024q1" are the
    // operator's own files, however much they look like a temporary.
    static const QRegularExpression ours(QStringLiteral("^.+")
        + QRegularExpression::escape(TemporaryMarker()) + QStringLiteral("[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        if (ours.match(entry.fileName()).hasMatch() && entry.isFile() && !entry.isSymLink()
            && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

Status CheckWritable(const QString &path)
{
    // The rename needs only the folder's permission; a file the operator made read-only
    // is their choice to keep it as it is.
    if (QFileInfo::exists(path) && !IsWritableByUs(path))
        return Status::Error(FileError(path, ReadOnlyReason()));
    return Status::Ok();
}

QString TemporaryFileMarker()
{
    return TemporaryMarker();
}
