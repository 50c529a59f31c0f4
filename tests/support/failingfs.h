#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// Real failures of the file system, for tests of the write path.

// Makes a folder full while it lives. Where the process may mount (root, or a user
// namespace), a small tmpfs carrying the folder's contents is mounted over it and filled to
// the last byte, so writes fail with ENOSPC. Elsewhere the process's file-size limit is
// lowered to one byte, so every write fails with EFBIG. Either way reads still work.
class FullDisk
{
public:
    explicit FullDisk(const QString &folder);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // "tmpfs" or "file size limit"; empty when neither could be set up.
    QString how() const { return m_how; }
    bool isFull() const { return !m_how.isEmpty(); }

private:
    QString m_folder;
    QString m_how;
    std::unique_ptr<QTemporaryDir> m_holding;
};

// While it lives, the process obeys file permissions even when it runs as root (it gives
// up the capabilities that let root read and write any file), so a mode-0200 file really
// cannot be read. A no-op for an ordinary user, who obeys them anyway.
class ObeyFilePermissions
{
public:
    ObeyFilePermissions();
    ~ObeyFilePermissions();
    ObeyFilePermissions(const ObeyFilePermissions &) = delete;
    ObeyFilePermissions &operator=(const ObeyFilePermissions &) = delete;

    bool active() const { return m_active; }

private:
    bool m_dropped = false;
    bool m_active = false;
};
