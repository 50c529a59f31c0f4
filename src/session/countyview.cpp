#include "countyview.h"

#include "memberline.h"
#include "stationdb/callsign.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <algorithm>

bool IsDueForRetirement(const StationRecord &r, const QDate &today)
{
    if (r.LastDate.isEmpty() || r.Name == QLatin1String("CNTY EOC"))
        return false;
    const auto heard = ParseDateText(r.LastDate);
    if (!heard)
        return false;
    return heard->daysTo(today) >= RetireAfterDays;
}

namespace {

// A member line before the sort, and its sort key.
struct Entry
{
    QString key;
    QString call;
    QString name;
    QString city;
    int record;
};

Entry EntryOf(const StationRecord &r, int n)
{
    return Entry { CallSuffix(r.Call) + u' ' + CallPrefix(r.Call) + u' ' + r.Name + u' ' + r.City,
        r.Call, r.Name, r.City, n };
}

// A station due for retirement, and the vacant record that takes its place.
struct Due
{
    int record;
    StationRecord station;
    StationRecord retired;
};

// Every retirement of the county in one replacement of the file: a county with many members
// due is opened without one synced write each. A station that could not be retired stays a
// member line.
void Retire(StationFile &file, const QList<Due> &due, const KeepRetired &keep, CountyView &view,
    CurrentMembers &members, QList<Entry> &work)
{
    QList<std::pair<int, StationRecord>> records;
    // A retired station is kept elsewhere first: the write takes its only copy.
    bool kept = true;
    for (const Due &d : due) {
        records.append({ d.record, d.retired });
        kept = kept && (!keep || keep(d.record, d.station).ok());
    }
    const RecordChangeNote retiring(QStringLiteral("retire"));
    const bool written = kept && file.write(records).ok();
    for (const Due &d : due) {
        if (written) {
            view.retiredLines << d.station.Call + u' ' + d.station.Name + u' ' + d.station.County;
            view.retiredStations << d.station;
            view.retiredRecords << d.record;
            members[d.record - 1] = d.retired;
            members[d.record - 1].Status.clear();
        } else {
            // The station stays listed: better an old member shown than one lost from the
            // list while its record still says otherwise.
            view.failedRetirements << d.station.Call;
            work.append(EntryOf(d.station, d.record));
        }
    }
}

} // namespace

CountyView ReadCountyView(
    const QString &path, const QDate &today, CurrentMembers &members, const KeepRetired &keep)
{
    CountyView view;
    if (members.size() < RecordsPerFile)
        members.resize(RecordsPerFile);
    QList<Entry> work;
    QList<Due> due;

    StationFile file(path);
    if (const Status opened = file.open(); !opened) {
        view.readError = opened.error();
        // Nothing of another county may stand in for this one's records.
        std::fill(members.begin(), members.end(), StationRecord {});
        return view;
    }
    for (int n = 1; n <= RecordsPerFile; ++n) {
        StationRecord r = file.read(n);
        r.Call = r.Call.trimmed();
        members[n - 1].Call = r.Call;
        if (r.Call.isEmpty() || r.Call == StationRecord::EndMarker())
            break;
        r.trimAll();
        members[n - 1] = r;
        view.recordsRead = n;

        if (IsDueForRetirement(r, today)) {
            StationRecord retired = r;
            retired.Call = StationRecord::VacantMarker();
            retired.Name.clear();
            retired.County.clear();
            retired.City.clear();
            retired.LastDate = ShortDate(today);
            due.append({ n, r, retired });
            continue;
        }
        if (r.Call == StationRecord::VacantMarker())
            continue;
        work.append(EntryOf(r, n));
    }
    if (!due.isEmpty())
        Retire(file, due, keep, view, members, work);
    std::stable_sort(work.begin(), work.end(), [](const Entry &a, const Entry &b) {
        return a.key.compare(b.key, Qt::CaseInsensitive) < 0;
    });
    for (const Entry &e : work) {
        view.memberLines << BuildMemberLine(e.call, e.name, e.city);
        view.records << e.record;
    }
    return view;
}
