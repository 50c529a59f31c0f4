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

CountyView ReadCountyView(
    const QString &path, const QDate &today, CurrentMembers &members, const KeepRetired &keep)
{
    CountyView view;
    if (members.size() < RecordsPerFile)
        members.resize(RecordsPerFile);

    struct Entry
    {
        QString key;
        QString call;
        QString name;
        QString city;
        int record;
    };
    QList<Entry> work;
    auto entry = [](const StationRecord &r, int n) {
        return Entry { CallSuffix(r.Call) + u' ' + CallPrefix(r.Call) + u' ' + r.Name + u' '
                + r.City,
            r.Call, r.Name, r.City, n };
    };
    struct Due
    {
        int record;
        StationRecord station;
        StationRecord retired;
    };
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
        work.append(entry(r, n));
    }
    if (!due.isEmpty()) {
        // Every retirement of the county in one replacement of the file: a county with many
        // members due is opened without one synced write each.
        QList<std::pair<int, StationRecord>> records;
        // A retired station is kept elsewhere first: the write takes its only copy.
        bool kept = true;
        for (const Due &d : std::as_const(due)) {
            records.append({ d.record, d.retired });
            kept = kept && (!keep || keep(d.record, d.station).ok());
        }
        const bool written = kept && file.write(records).ok();
        for (const Due &d : std::as_const(due)) {
            if (written) {
                view.retiredLines << d.station.Call + u' ' + d.station.Name + u' '
                        + d.station.County;
                view.retiredStations << d.station;
                view.retiredRecords << d.record;
                members[d.record - 1] = d.retired;
                members[d.record - 1].Status.clear();
            } else {
                // The station stays listed: better an old member shown than one lost from
                // the list while its record still says otherwise.
                view.failedRetirements << d.station.Call;
                work.append(entry(d.station, d.record));
            }
        }
    }
    std::stable_sort(work.begin(), work.end(), [](const Entry &a, const Entry &b) {
        return a.key.compare(b.key, Qt::CaseInsensitive) < 0;
    });
    for (const Entry &e : work) {
        view.memberLines << BuildMemberLine(e.call, e.name, e.city);
        view.records << e.record;
    }
    return view;
}
