#include "stationfile.h"

#include "atomicfile.h"
#include "callsign.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

QByteArray recordBytes(const QByteArray &data, int n)
{
    QByteArray bytes = data.mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size);
    // A record past the end reads as blanks, so a missing record equals a blank one.
    bytes.append(QByteArray(StationRecord::Size - bytes.size(), ' '));
    return bytes;
}

struct Watched
{
    QString folder;
    RecordChangeWatcher *watcher;
};

QList<Watched> &Watchers()
{
    static QList<Watched> watchers;
    return watchers;
}

QString FolderKey(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

RecordChangeWatcher *WatcherOf(const QString &path)
{
    if (Watchers().isEmpty())
        return nullptr;
    const QString folder = FolderKey(QFileInfo(path).absolutePath());
    for (const Watched &w : Watchers()) {
        if (w.folder == folder)
            return w.watcher;
    }
    return nullptr;
}

QString &Note()
{
    thread_local QString note;
    return note;
}

} // namespace

void WatchStationFiles(const QString &dataFolder, RecordChangeWatcher *watcher)
{
    const QString folder = FolderKey(dataFolder);
    Watchers().removeIf([&](const Watched &w) { return w.folder == folder; });
    if (watcher)
        Watchers().append({ folder, watcher });
}

RecordChangeNote::RecordChangeNote(QString note)
    : m_previous(std::exchange(Note(), std::move(note)))
{
}

RecordChangeNote::~RecordChangeNote()
{
    Note() = m_previous;
}

QString CurrentChangeNote()
{
    return Note();
}

StationFile::StationFile(QString path)
    : m_path(std::move(path))
{
}

Status StationFile::open()
{
    m_data.clear();
    m_open = false;
    if (!QFileInfo::exists(m_path) && !QFileInfo(m_path).isSymLink()) {
        // A missing file is created empty, as it always has been; when that fails it still
        // reads as empty, and the first write reports why it cannot be made.
        QFile create(m_path);
        if (create.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            create.close();
        m_open = true;
        return Status::Ok();
    }
    Result<QByteArray> bytes = ReadWholeFile(m_path);
    if (!bytes)
        return bytes.status();
    m_data = std::move(bytes.value());
    m_open = true;
    return Status::Ok();
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

Status StationFile::write(int n, const StationRecord &record)
{
    return write(QList<std::pair<int, StationRecord>> { { n, record } });
}

Result<StationRecord> StationFile::readHolding(int n, const QString &call) const
{
    if (!m_open)
        return Status::Error(FileError(m_path, QStringLiteral("not read")));
    const StationRecord record = read(n);
    if (n < 1 || n > RecordsPerFile || call.isEmpty() || record.Call.trimmed() != call)
        return Status::Error(FileError(m_path, ChangedByAnotherProgram()));
    return record;
}

Status StationFile::replaceHolding(int n, const QString &expectedCall, const StationRecord &record)
{
    if (const Result<StationRecord> held = readHolding(n, expectedCall); !held)
        return held.status();
    return write(n, record);
}

Status StationFile::write(const QList<std::pair<int, StationRecord>> &records)
{
    if (!m_open)
        return Status::Error(FileError(m_path, QStringLiteral("not read, so not written")));
    for (const auto &[n, record] : records) {
        if (n < 1)
            return Status::Error(FileError(m_path, QStringLiteral("invalid record number")));
        // A character the file's single-byte text cannot hold would be stored as "?".
        if (!record.fitsLatin1())
            return Status::Error(
                FileError(m_path, QStringLiteral("text the station file cannot hold")));
    }
    const QFileInfo info(m_path);
    // A file marked read-only stays unchanged even for an administrator, who could
    // otherwise replace it.
    constexpr auto anyWrite
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return Status::Error(FileError(m_path, QStringLiteral("the file is read-only")));

    QByteArray data;
    if (info.exists() || info.isSymLink()) {
        Result<QByteArray> current = ReadWholeFile(m_path);
        if (!current)
            return current.status();
        data = std::move(current.value());
    }
    for (const auto &[n, record] : records) {
        if (recordBytes(data, n) != recordBytes(m_data, n))
            return Status::Error(FileError(m_path, ChangedByAnotherProgram()));
    }
    QList<RecordChange> changes;
    for (const auto &[n, record] : records) {
        const QByteArray after = record.toBytes();
        if (const QByteArray before = recordBytes(data, n); before != after)
            changes.append({ n, before, after });
    }
    RecordChangeWatcher *watcher = changes.isEmpty() ? nullptr : WatcherOf(m_path);
    if (watcher)
        watcher->recordsChanging(m_path, changes);
    for (const auto &[n, record] : records) {
        const qsizetype offset = qsizetype(n - 1) * StationRecord::Size;
        if (data.size() < offset + StationRecord::Size) {
            // Fill up to the record with whole blank records (a trailing partial record is
            // completed with blanks) so every earlier slot reads as free.
            data.append(QByteArray(offset + StationRecord::Size - data.size(), ' '));
        }
        data.replace(offset, StationRecord::Size, record.toBytes());
    }
    const Status written = WriteFileAtomically(m_path, data);
    if (!written) {
        if (watcher)
            watcher->recordsNotChanged(m_path, changes);
        return written;
    }
    m_data = data;
    return Status::Ok();
}

Result<QByteArray> ReadStationRecords(const QString &path)
{
    constexpr qsizetype scanned = qsizetype(RecordsPerFile) * StationRecord::Size;
    Result<QByteArray> head = ReadFileHead(path, scanned);
    if (head)
        return head;
    StationFile file(path);
    if (const Status opened = file.open(); !opened)
        return opened;
    return file.bytes().left(scanned);
}

QByteArrayView TrimmedCallBytes(const QByteArray &bytes, int n)
{
    const qsizetype offset = qsizetype(n - 1) * StationRecord::Size + StationRecord::CallOffset;
    if (n < 1 || offset >= bytes.size())
        return QByteArrayView();
    QByteArrayView call(bytes.constData() + offset,
        std::min<qsizetype>(StationRecord::CallWidth, bytes.size() - offset));
    while (!call.isEmpty() && QChar::isSpace(uchar(call.front())))
        call = call.sliced(1);
    while (!call.isEmpty() && QChar::isSpace(uchar(call.back())))
        call.chop(1);
    return call;
}

Status ReplaceStationRecord(
    const QString &path, int n, const QString &expectedCall, const StationRecord &record)
{
    StationFile file(path);
    const Status opened = file.open();
    if (!opened)
        return opened;
    return file.replaceHolding(n, expectedCall, record);
}

std::optional<QString> StationFileProblem(const QByteArray &bytes)
{
    if (bytes.size() > LargestStationFile)
        return QStringLiteral("larger than a station file, over %1 bytes").arg(LargestStationFile);
    // A record cut short is what a copy broken off leaves; no write of ours ends in one.
    if (bytes.size() % StationRecord::Size != 0)
        return QStringLiteral("not whole station records, %1 bytes").arg(bytes.size());
    for (int n = 1; n <= bytes.size() / StationRecord::Size; ++n) {
        const StationRecord r = StationRecord::fromBytes(
            bytes.mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size));
        if (!r.isFree() && !r.isEndMarker() && !IsValidCall(r.Call.trimmed()))
            return QStringLiteral("record %1 holds no call").arg(n);
    }
    return std::nullopt;
}
