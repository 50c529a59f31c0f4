#pragma once

#include "stationdb/stationrecord.h"

#include <QString>
#include <QStringList>
#include <functional>
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

// Walks the call field of every record of every station file in county order, each file up
// to its end marker (records past a file's end read as blanks); records with no call are
// passed over. visit(position, path, bytes, record, call) returns false to end the walk.
// Gives the errors of the files that could not be read, in walk order.
using StationCallVisit = std::function<bool(
    int position, const QString &path, const QByteArray &bytes, int record, QByteArrayView call)>;
QStringList WalkStationCalls(const CountyTable &table, const StationCallVisit &visit);
// Record n (from 1) of a file's bytes, trimmed.
StationRecord StationRecordAt(const QByteArray &bytes, int n);
