#pragma once

#include "stationdb/stationrecord.h"

#include <QString>
#include <QStringList>
#include <optional>

class CountyTable;

struct FoundStation
{
    QString path;
    int recordNumber = 0;
    StationRecord record; // trimmed
};

struct StationSearch
{
    std::optional<FoundStation> found;
    QStringList unreadable; // the errors of files that could not be read, in search order
};

// Searches the station files in file-table order, each up to its end marker or record 100,
// skipping blank calls; the first record whose call equals the given call is the station.
// A file that cannot be read is passed over and named in the answer.
StationSearch FindStation(const CountyTable &table, const QString &call);
