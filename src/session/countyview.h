#pragma once

#include "stationdb/result.h"
#include "stationdb/stationrecord.h"

#include <functional>

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The fields of the county read last, indexed by record number - 1 (trimmed). A read
// overwrites the entries of the records it reads; the others keep what they held.
using CurrentMembers = QList<StationRecord>;

struct CountyView
{
    QStringList memberLines; // sorted by suffix, prefix, name, city; no vacant slots
    QList<int> records; // the record (from 1) of each member line
    QStringList retiredLines; // call, name, county of each station retired now
    QList<StationRecord> retiredStations; // each of them as its record was (trimmed)
    QList<int> retiredRecords; // the record each of them was in
    QStringList failedRetirements; // calls whose retirement could not be written
    QString readError; // why the file could not be read; then nothing else is set
    int recordsRead = 0;
};

// Days without a check-in after which a station is retired.
inline constexpr int RetireAfterDays = 365;

// Reads a county's station file up to its first blank call or end marker (at most 100
// records), retires stations not heard for a year, and builds the sorted member lines. Each
// station due is handed to keep (record, station as read) before its record is overwritten;
// when keep fails, none is retired.
using KeepRetired = std::function<Status(int record, const StationRecord &station)>;
CountyView ReadCountyView(
    const QString &path, const QDate &today, CurrentMembers &members, const KeepRetired &keep = {});

// True when the station is due for retirement: a readable LastDate a year or more ago, and
// not a county EOC. A LastDate that is no date never retires a station.
bool IsDueForRetirement(const StationRecord &trimmed, const QDate &today);
