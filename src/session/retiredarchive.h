#pragma once

#include "stationdb/stationrecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

class CountyTable;

// A member once taken out of a station file, as the retired-stations file keeps it.
struct ArchivedStation
{
    QDate date; // the night it was taken out
    bool deleted = false; // by the operator; else retired for a year unheard
    QString file; // the station file's name, one of the county table's
    int record = 0;
    StationRecord station; // as it was
};

// One line of the retired-stations file: date, kind, file, record and the record's bytes,
// tab-separated.
QByteArray RetiredArchiveLine(
    const QDate &date, bool deleted, const QString &file, int record, const StationRecord &station);

// The latest line of the file at path that holds the call. The file is never trusted: a
// line that is too long, holds a file that is none of the table's, a record out of range,
// a bad date or a record of another call is passed over, and only the file's last
// MaxRetiredArchiveRead bytes are read.
std::optional<ArchivedStation> FindArchivedStation(const QString &path, const QString &call);
inline constexpr qint64 MaxRetiredArchiveRead = 16 * 1024 * 1024;

// "W4XYZ RETIRED 3/9/2026 FROM BALDWIN - CTRL+ENTER RESTORES AND CHECKS IN".
QString ArchivedOfferText(const ArchivedStation &archived, const CountyTable &table);

// The full path of a station file of the table, by its name; empty for none of them.
QString StationFilePathOf(const CountyTable &table, const QString &fileName);
