#pragma once

#include "stationrecord.h"

#include <QByteArray>
#include <QList>
#include <utility>
#include <QString>

// The number of records any scan of a station file reads at most.
inline constexpr int RecordsPerFile = 100;

// Random access to one station file, record n (from 1) at (n - 1) x 82. The file is read
// once when opened and is not held open; each write replaces the whole file atomically so
// that a crash leaves either the old or the new file, never a torn record.
class StationFile
{
public:
    explicit StationFile(QString path);

    // Opens the file, creating it empty when missing. False when it can be neither read nor
    // created; reads then give blank records.
    bool open();

    const QString &path() const { return m_path; }
    // Whole records present in the file.
    int recordCount() const { return int(m_data.size() / StationRecord::Size); }

    // A record past the end of the file reads as blanks.
    StationRecord read(int n) const;
    // Writes record n in place; a file shorter than n records grows with blank records.
    // False, with errorString() set, when the file cannot be written.
    bool write(int n, const StationRecord &record);
    // Writes several records in one atomic replacement of the file.
    bool write(const QList<std::pair<int, StationRecord>> &records);
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QByteArray m_data;
    QString m_error;
};
