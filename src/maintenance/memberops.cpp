#include "memberops.h"

#include "newmemberlist.h"

#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

AddResult AddMemberRecord(
    const QString &path, const StationRecord &station, const QDate &today, CurrentMembers &members)
{
    AddResult result;
    if (members.size() < RecordsPerFile)
        members.resize(RecordsPerFile);
    StationRecord record = station;
    record.LastDate = ShortDate(today);

    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        result.failure = opened;
        return result;
    }
    // The whole file up to its end is looked at before a slot is chosen: a station may stand
    // behind a freed slot, and must not be stored a second time.
    if (FindCallInFile(file, station.Call) > 0) {
        result.kind = AddResult::AlreadyExists;
        return result;
    }
    int slot = 0;
    int marker = 0;
    for (int n = 1; n <= RecordsPerFile; ++n) {
        const StationRecord r = file.read(n).trimmed();
        members[n - 1] = r;
        if (r.Call == StationRecord::EndMarker()) {
            marker = n;
            break;
        }
        if (r.Call.isEmpty() || r.Call == StationRecord::VacantMarker()) {
            slot = n;
            break;
        }
    }

    QList<std::pair<int, StationRecord>> writes;
    if (slot > 0) {
        writes.append({ slot, record });
    } else if (marker > 0) {
        slot = marker;
        writes.append({ slot, record });
        if (marker < RecordsPerFile && file.read(marker + 1).isFree())
            writes.append(
                { marker + 1, StationRecord { StationRecord::EndMarker(), {}, {}, {}, {}, {} } });
    } else {
        result.kind = AddResult::FileFull;
        return result;
    }
    if (const Status written = file.write(writes); !written) {
        result.kind = AddResult::WriteFailed;
        result.failure = written;
        return result;
    }
    members[slot - 1] = record.trimmed();
    result.kind = AddResult::Added;
    result.record = slot;
    return result;
}

int FindCallInFile(const StationFile &file, const QString &call)
{
    for (int n = 1; n <= RecordsPerFile; ++n) {
        const QString c = file.read(n).Call.trimmed();
        if (c == StationRecord::EndMarker())
            return 0;
        if (c == call)
            return n;
    }
    return 0;
}

ChangeCallResult ChangeMemberCall(
    const QString &path, int n, const QString &oldCall, const QString &newCall)
{
    ChangeCallResult result;
    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        result.failure = opened;
        return result;
    }
    const Result<StationRecord> held = file.readHolding(n, oldCall);
    if (!held) {
        result.failure = held.status();
        return result;
    }
    if (FindCallInFile(file, newCall) > 0) {
        result.kind = ChangeCallResult::AlreadyExists;
        return result;
    }
    // Only the call changes: the rest of the record is taken from the file as it is now, so
    // a check-in dated meanwhile is kept.
    StationRecord record = *held;
    record.Call = newCall;
    if (const Status written = file.write(n, record); !written) {
        result.failure = written;
        return result;
    }
    result.kind = ChangeCallResult::Changed;
    result.record = record.trimmed();
    return result;
}

DeleteResult DeleteMemberRecord(const QString &path, int n, const QString &call, const QDate &today)
{
    DeleteResult result;
    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        result.kind = DeleteResult::WriteFailed;
        result.failure = opened;
        return result;
    }
    const Result<StationRecord> found = file.readHolding(n, call);
    if (!found)
        return result;
    result.record = n;
    if (IsWeekdayCode(found->Status.trimmed())) {
        result.kind = DeleteResult::NetControl;
        return result;
    }
    StationRecord vacant;
    vacant.Call = StationRecord::VacantMarker();
    vacant.LastDate = ShortDate(today);
    if (const Status written = file.write(n, vacant); !written) {
        result.kind = DeleteResult::WriteFailed;
        result.failure = written;
        return result;
    }
    result.kind = DeleteResult::Deleted;
    return result;
}

Result<StationRecord> EditMemberRecord(const QString &path, int n, const StationRecord &fields)
{
    StationFile file(path);
    if (const Status opened = file.open(); !opened)
        return opened;
    const Result<StationRecord> held = file.readHolding(n, fields.Call);
    if (!held)
        return held;
    StationRecord record = *held;
    record.Name = fields.Name;
    record.County = fields.County;
    record.Status = fields.Status;
    record.City = fields.City;
    if (const Status written = file.write(n, record); !written)
        return written;
    return record.trimmed();
}

bool IsWeekdayCode(const QString &status)
{
    for (const char *code : { "SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT" }) {
        if (status == QLatin1String(code))
            return true;
    }
    return false;
}

Result<QString> LogNewMember(SettingsStore &settings, const QString &line)
{
    const QString section = NewMemberList::Section();
    QString key = NewMemberList::Key(NewMemberList::OverflowKey);
    for (int k = 0; k <= NewMemberList::LastFreeKey; ++k) {
        if (settings.get(section, NewMemberList::Key(k)).isEmpty()) {
            key = NewMemberList::Key(k);
            break;
        }
    }
    if (const Status saved = settings.save(section, key, line); !saved)
        return saved;
    return key;
}
