#include "stationsearch.h"

#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"

StationSearch FindStation(const CountyTable &table, const QString &call)
{
    StationSearch search;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        StationFile file(table.filePath(p));
        if (const Status opened = file.open(); !opened) {
            search.unreadable << opened.error();
            continue;
        }
        for (int n = 1; n <= RecordsPerFile; ++n) {
            const StationRecord record = file.read(n).trimmed();
            if (record.Call == StationRecord::EndMarker())
                break;
            if (record.Call.isEmpty())
                continue;
            if (record.Call == call) {
                search.found = FoundStation { file.path(), n, record };
                return search;
            }
        }
    }
    return search;
}
