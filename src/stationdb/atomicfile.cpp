#include "atomicfile.h"

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

// Forces the bytes onto the disk: a rename that reached the disk before the data would
// leave an empty file after a power cut.
bool syncFile(QFileDevice &file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

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

    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return Status::Error(FileError(path, temp.errorString()));
    temp.setAutoRemove(true);
    if (temp.write(content) != content.size() || !temp.flush()
        || temp.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, temp.errorString()));
    if (!syncFile(temp))
#ifdef Q_OS_WIN
        return Status::Error(FileError(path, QStringLiteral("cannot flush to disk")));
#else
        return Status::Error(FileError(path, systemError()));
#endif
    const QFileDevice::Permissions permissions
        = target.exists() ? target.permissions() : newPermissions;
    if (!temp.setPermissions(permissions))
        return Status::Error(FileError(path, temp.errorString()));
    temp.close();
    if (temp.error() != QFileDevice::NoError)
        return Status::Error(FileError(path, temp.errorString()));

    QString error;
    if (!replaceFile(temp.fileName(), path, error))
        return Status::Error(FileError(path, error));
    temp.setAutoRemove(false);
    return Status::Ok();
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

int RemoveLeftoverTemporaries(const QString &folder, const QStringList &suffixes)
{
    static const QRegularExpression tail(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const QRegularExpressionMatch m = tail.match(name);
        if (!m.hasMatch())
            continue;
        const QString base = name.left(m.capturedStart());
        const bool ours = std::any_of(suffixes.begin(), suffixes.end(), [&](const QString &s) {
            return base.endsWith(s, Qt::CaseInsensitive) && base.size() > s.size();
        });
        if (ours && entry.isFile() && !entry.isSymLink() && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}
