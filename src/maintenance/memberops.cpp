#include "memberops.h"

#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

namespace {

QString editPrefix(const QString &call)
{
    if (call.size() >= 2 && call.at(1) >= u'1' && call.at(1) <= u'9')
        return call.left(2);
    return call.left(3);
}

} // namespace

AddResult AddMemberRecord(const QString &path, const StationRecord &station, const QDate &today,
                          CurrentMembers &members)
{
    AddResult result;
    if (members.size() < RecordsPerFile)
        members.resize(RecordsPerFile);
    StationRecord record = station;
    record.LastDate = ShortDate(today);

    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        result.error = opened.error();
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
        if (r.Call == station.Call) {
            result.kind = AddResult::AlreadyExists;
            return result;
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
            writes.append({ marker + 1, StationRecord { StationRecord::EndMarker(), {}, {}, {}, {}, {} } });
    } else {
        result.kind = AddResult::FileFull;
        return result;
    }
    if (const Status written = file.write(writes); !written) {
        result.kind = AddResult::WriteFailed;
        result.error = written.error();
        return result;
    }
    members[slot - 1] = record.trimmed();
    result.kind = AddResult::Added;
    result.record = slot;
    return result;
}

DeleteResult DeleteMemberRecord(const QString &path, const QString &call, const QDate &today)
{
    DeleteResult result;
    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        result.kind = DeleteResult::WriteFailed;
        result.error = opened.error();
        return result;
    }
    for (int n = 1; n <= RecordsPerFile; ++n) {
        if (file.read(n).Call.trimmed() != call)
            continue;
        StationRecord vacant;
        vacant.Call = StationRecord::VacantMarker();
        vacant.LastDate = ShortDate(today);
        if (const Status written = file.write(n, vacant); !written) {
            result.kind = DeleteResult::WriteFailed;
            result.error = written.error();
            return result;
        }
        result.kind = DeleteResult::Deleted;
        result.record = n;
        return result;
    }
    return result;
}

bool HasWeekdayCode(const QString &line)
{
    for (const char *code : { " SUN ", " MON ", " TUE ", " WED ", " THU ", " FRI ", " SAT " }) {
        if (line.contains(QLatin1String(code)))
            return true;
    }
    return false;
}

Result<QString> LogNewMember(SettingsStore &settings, const QString &line)
{
    const QString section = QStringLiteral("NewMember");
    QString key = QStringLiteral("51");
    for (int k = 0; k <= 50; ++k) {
        if (settings.get(section, QString::number(k)).isEmpty()) {
            key = QString::number(k);
            break;
        }
    }
    if (!settings.save(section, key, line))
        return Status::Error(settings.lastError());
    return key;
}

QString EditedMemberLine(const QString &call, const QString &name, const QString &city)
{
    const QString prefix = editPrefix(call);
    const QString suffix = call.mid(prefix.size());
    if (suffix.size() < 1 || suffix.size() > 3)
        return call;
    return PadField(prefix, 5) + PadField(suffix, 5) + u' ' + name + u' ' + city;
}

QString ChangedCallLine(const QString &call, const QString &name, const QString &city)
{
    const QString prefix = editPrefix(call);
    return prefix + QStringLiteral("  ") + call.mid(prefix.size()) + u' ' + name + u' ' + city;
}
