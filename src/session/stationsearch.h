#pragma once

#include "stationdb/stationrecord.h"

#include <QString>
#include <optional>

class CountyTable;

struct FoundStation
{
    QString path;
    int recordNumber = 0;
    StationRecord record; // trimmed
};

// Searches the station files in file-table order, each up to its end marker or record 100,
// skipping blank calls; the first record whose call equals the given call is the station.
std::optional<FoundStation> FindStation(const CountyTable &table, const QString &call);
