#include "failingfs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(
        from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString target = to + u'/' + QDir(from).relativeFilePath(entry.filePath());
        if (entry.isDir() && !entry.isSymLink()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (entry.isFile()) {
            if (!QFile::copy(entry.filePath(), target))
                return false;
            QFile::setPermissions(target, entry.permissions());
        }
    }
    return true;
}

// Writes a filler file until the file system refuses another byte.
void fill(const QString &folder)
{
    const QByteArray block(4096, 'x');
    const int fd = ::open(QFile::encodeName(folder + QStringLiteral("/filler")).constData(),
        O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return;
    for (qsizetype size = block.size(); size > 0; size /= 2) {
        while (::write(fd, block.constData(), size_t(size)) == size) { }
    }
    while (::write(fd, "x", 1) == 1) { }
    ::close(fd);
}

struct CapData
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] {};
};

bool getCaps(CapData &caps)
{
    return ::syscall(SYS_capget, &caps.header, caps.data) == 0;
}

bool setCaps(CapData &caps)
{
    return ::syscall(SYS_capset, &caps.header, caps.data) == 0;
}

constexpr unsigned OverrideMask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

} // namespace

FullDisk::FullDisk(const QString &folder)
    : m_folder(QDir(folder).absolutePath())
{
    m_holding = std::make_unique<QTemporaryDir>();
    if (m_holding->isValid() && copyTree(m_folder, m_holding->path())
        && ::mount(
               "tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs", 0, "size=256k,mode=0755")
            == 0) {
        if (copyTree(m_holding->path(), m_folder)) {
            fill(m_folder);
            m_how = QStringLiteral("tmpfs");
            return;
        }
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    m_holding.reset();
    // Writes past the limit fail with EFBIG instead of raising SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    limit.rlim_cur = 1;
    if (::setrlimit(RLIMIT_FSIZE, &limit) == 0)
        m_how = QStringLiteral("file size limit");
}

FullDisk::~FullDisk()
{
    if (m_how == QLatin1String("tmpfs")) {
        // The files written meanwhile go back into the folder beneath, so that the test
        // can still read what the program left.
        QTemporaryDir after;
        copyTree(m_folder, after.path());
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        QFile::remove(after.path() + QStringLiteral("/filler"));
        QDir(m_folder).removeRecursively();
        QDir().mkpath(m_folder);
        copyTree(after.path(), m_folder);
    } else if (!m_how.isEmpty()) {
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
}

ObeyFilePermissions::ObeyFilePermissions()
{
    if (::geteuid() != 0) {
        m_active = true;
        return;
    }
    CapData caps;
    if (!getCaps(caps))
        return;
    caps.data[0].effective &= ~OverrideMask;
    m_dropped = setCaps(caps);
    m_active = m_dropped;
}

ObeyFilePermissions::~ObeyFilePermissions()
{
    if (!m_dropped)
        return;
    CapData caps;
    if (!getCaps(caps))
        return;
    caps.data[0].effective |= OverrideMask & caps.data[0].permitted;
    setCaps(caps);
}
