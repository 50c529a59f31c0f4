#pragma once

#include "session/countyview.h"
#include "stationdb/result.h"
#include "stationdb/stationrecord.h"

#include <QDate>
#include <QString>

class SettingsStore;
class StationFile;

struct AddResult
{
    enum Kind { Added, AlreadyExists, FileFull, WriteFailed } kind = WriteFailed;
    int record = 0; // where the station went
    Status failure; // why, when WriteFailed
};

// Adds a station into the first free slot (vacant or blank) of its file, records 1 to 100.
// When the end marker comes before any free slot, the station takes the marker's record and
// the marker moves one record on (while that is record 100 or lower and holds no station),
// so every scan still finds the station and the file keeps its end. A call already in the
// file is refused. The trimmed fields of the records read go into members.
AddResult AddMemberRecord(
    const QString &path, const StationRecord &station, const QDate &today, CurrentMembers &members);

// The record (from 1) of the first station with this call before the end marker, 0 when none.
int FindCallInFile(const StationFile &file, const QString &call);

struct ChangeCallResult
{
    enum Kind { Changed, AlreadyExists, WriteFailed } kind = WriteFailed;
    StationRecord record; // as written, trimmed
    Status failure; // why, when WriteFailed
};

// Gives record n a new call, when it still holds oldCall and no station of the file has the
// new call already; the other fields stay as the file holds them.
ChangeCallResult ChangeMemberCall(
    const QString &path, int n, const QString &oldCall, const QString &newCall);

struct DeleteResult
{
    enum Kind { Deleted, NotFound, NetControl, WriteFailed } kind = NotFound;
    int record = 0;
    Status failure; // why, when WriteFailed
};

// Overwrites record n, while it still holds the call, with a vacant record dated today. A
// weekday net control (a weekday code in its status) is kept.
DeleteResult DeleteMemberRecord(
    const QString &path, int n, const QString &call, const QDate &today);

// Replaces the name, county, status and city of record n while it holds the call; its call
// and date stay as the file has them (a check-in made meanwhile keeps its date).
Result<StationRecord> EditMemberRecord(const QString &path, int n, const StationRecord &fields);

// True when a status is a weekday code ("SUN" ... "SAT"): the station is a net control.
bool IsWeekdayCode(const QString &status);

// Logs an addition under the first empty NewMember key of "0" to "50", else "51".
// Returns the key used, or why the store could not be written.
Result<QString> LogNewMember(SettingsStore &settings, const QString &line);
