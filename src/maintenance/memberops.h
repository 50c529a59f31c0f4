#pragma once

#include "session/countyview.h"
#include "stationdb/result.h"
#include "stationdb/stationrecord.h"

#include <QDate>
#include <QString>

class SettingsStore;

struct AddResult
{
    enum Kind { Added, AlreadyExists, FileFull, WriteFailed } kind = WriteFailed;
    int record = 0; // where the station went
    QString error;
};

// Adds a station into the first free slot (vacant or blank) of its file, records 1 to 100.
// When the end marker comes before any free slot, the station takes the marker's record and
// the marker moves one record on (while that is record 100 or lower and holds no station),
// so every scan still finds the station and the file keeps its end. A call already in the
// file is refused. The trimmed fields of the records read go into members.
AddResult AddMemberRecord(const QString &path, const StationRecord &station, const QDate &today,
                          CurrentMembers &members);


struct DeleteResult
{
    enum Kind { Deleted, NotFound, WriteFailed } kind = NotFound;
    int record = 0;
    QString error;
};

// Overwrites the first record of the file whose call is the given one with a vacant record
// dated today.
DeleteResult DeleteMemberRecord(const QString &path, const QString &call, const QDate &today);

// True when a member line names a weekday net control (" SUN " ... " SAT ").
bool HasWeekdayCode(const QString &line);

// Logs an addition under the first empty NewMember key of "0" to "50", else "51".
// Returns the key used, or why the store could not be written.
Result<QString> LogNewMember(SettingsStore &settings, const QString &line);

// The member line written after an edit and after a call change: the prefix is two
// characters when the second is a digit 1 to 9, else three.
QString EditedMemberLine(const QString &call, const QString &name, const QString &city);
QString ChangedCallLine(const QString &call, const QString &name, const QString &city);
