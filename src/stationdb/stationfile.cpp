#include "stationfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

StationFile::StationFile(QString path) : m_path(std::move(path)) { }

bool StationFile::open()
{
    m_data.clear();
    m_error.clear();
    QFile file(m_path);
    if (!file.exists()) {
        if (!file.open(QIODevice::WriteOnly)) {
            m_error = file.errorString();
            return false;
        }
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    m_data = file.readAll();
    return true;
}

StationRecord StationFile::read(int n) const
{
    if (n < 1)
        return StationRecord::blank();
    const qsizetype offset = qsizetype(n - 1) * StationRecord::Size;
    if (offset >= m_data.size())
        return StationRecord::blank();
    return StationRecord::fromBytes(m_data.mid(offset, StationRecord::Size));
}

bool StationFile::write(int n, const StationRecord &record)
{
    return write(QList<std::pair<int, StationRecord>> { { n, record } });
}

bool StationFile::write(const QList<std::pair<int, StationRecord>> &records)
{
    m_error.clear();
    for (const auto &[n, record] : records) {
        if (n < 1) {
            m_error = QStringLiteral("invalid record number");
            return false;
        }
    }
    const QFileInfo info(m_path);
    // A file marked read-only stays unchanged even for an administrator, who could
    // otherwise replace it.
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite))) {
        m_error = QStringLiteral("%1 is read-only").arg(m_path);
        return false;
    }
    QByteArray data = m_data;
    for (const auto &[n, record] : records) {
        const qsizetype offset = qsizetype(n - 1) * StationRecord::Size;
        if (data.size() < offset + StationRecord::Size) {
            // Fill up to the record with whole blank records (a trailing partial record is
            // completed with blanks) so every earlier slot reads as free.
            data.append(QByteArray(offset + StationRecord::Size - data.size(), ' '));
        }
        data.replace(offset, StationRecord::Size, record.toBytes());
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    if (file.write(data) != data.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    m_data = data;
    return true;
}
