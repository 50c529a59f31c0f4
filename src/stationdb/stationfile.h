#pragma once

#include "result.h"
#include "stationrecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The number of records any scan of a station file reads at most.
inline constexpr int RecordsPerFile = 100;
// No write of this program makes a station file longer than its 100 records.
inline constexpr qsizetype LargestStationFile = qsizetype(RecordsPerFile) * StationRecord::Size;

// Random access to one station file, record n (from 1) at (n - 1) x 82. The file is read
// once when opened and is not held open; each write replaces the whole file atomically so
// that a crash leaves either the old or the new file, never a torn record.
class StationFile
{
public:
    explicit StationFile(QString path);

    // Reads the whole file. A missing file is created empty and reads as empty. A
    // file that is not a regular file or cannot be read is an error; the object then
    // refuses every write, because a write built on a failed read would lose the members.
    Status open();
    bool isOpen() const { return m_open; }

    const QString &path() const { return m_path; }
    // The file's bytes as read.
    const QByteArray &bytes() const { return m_data; }
    // Whole records present in the file.
    int recordCount() const { return int(m_data.size() / StationRecord::Size); }

    // A record past the end of the file reads as blanks.
    StationRecord read(int n) const;
    // Record n while it holds the station the operator acted on (its trimmed call is call),
    // else why not: every change to a member goes through this, so a stale member list never
    // touches another station.
    Result<StationRecord> readHolding(int n, const QString &call) const;
    // Writes record n only while it holds expectedCall (readHolding).
    Status replaceHolding(int n, const QString &expectedCall, const StationRecord &record);
    // Writes record n in place; a file shorter than n records grows with blank records.
    Status write(int n, const StationRecord &record);
    // Writes several records in one atomic replacement of the file. The file is read again
    // first: when another program has changed one of these records since open(), nothing
    // is written. Changes to other records are kept.
    Status write(const QList<std::pair<int, StationRecord>> &records);

    // The reason given when a record changed under the operator's hands.
    static QString ChangedByAnotherProgram()
    {
        return QStringLiteral("RECORD CHANGED BY ANOTHER PROGRAM - CHOOSE THE COUNTY AGAIN");
    }

private:
    QString m_path;
    QByteArray m_data;
    bool m_open = false;
};

// The bytes of a station file's first 100 records, for the scans that look at calls only
// (the search, the COUNTIES list): read with plain system calls (ReadFileHead). When that
// read fails, open() is the judge: it creates a missing file as it always has and names
// the reason of every other failure.
Result<QByteArray> ReadStationRecords(const QString &path);
// The call field of record n (from 1) of such bytes as the record's trimmed Call holds it,
// without turning it into text: a search compares 11,600 calls. A record cut short by the
// file's end is blank-padded, so its missing bytes are left out; past the end it is empty.
// The blanks trimmed are those QString::trimmed() trims from Latin-1 text.
QByteArrayView TrimmedCallBytes(const QByteArray &bytes, int n);

// One record a write changes: its bytes before and after.
struct RecordChange
{
    int record = 0;
    QByteArray before;
    QByteArray after;
};

// Told of every record a write of a station file in its folder changes: before the file is
// replaced (so a record of the change exists before the change), and again when that
// replacement failed (so the record can be taken back).
class RecordChangeWatcher
{
public:
    virtual ~RecordChangeWatcher() = default;
    virtual void recordsChanging(const QString &path, const QList<RecordChange> &changes) = 0;
    virtual void recordsNotChanged(const QString &path, const QList<RecordChange> &changes) = 0;
};

// Sets (or, with nullptr, removes) the watcher of the station files of one data folder.
void WatchStationFiles(const QString &dataFolder, RecordChangeWatcher *watcher);

// What the writes made while one lives are, when the bytes alone cannot tell ("retire",
// "restore"); watchers read it with CurrentChangeNote().
class RecordChangeNote
{
public:
    explicit RecordChangeNote(QString note);
    ~RecordChangeNote();
    RecordChangeNote(const RecordChangeNote &) = delete;
    RecordChangeNote &operator=(const RecordChangeNote &) = delete;

private:
    QString m_previous;
};
QString CurrentChangeNote();

// Opens the file and replaces record n while it holds expectedCall.
Status ReplaceStationRecord(
    const QString &path, int n, const QString &expectedCall, const StationRecord &record);

// Why bytes brought in from elsewhere cannot be a station file, or nothing when they can be
// one: whole records, at most 100, each call blank, vacant, the end marker or a valid call,
// as every file this program writes holds them (a county file just made is empty). Anything
// else would become members that are none, and the county's real members would be lost.
std::optional<QString> StationFileProblem(const QByteArray &bytes);
