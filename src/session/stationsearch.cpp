#include "stationsearch.h"

#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"

std::optional<FoundStation> FindStation(const CountyTable &table, const QString &call)
{
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        StationFile file(table.filePath(p));
        file.open();
        for (int n = 1; n <= RecordsPerFile; ++n) {
            const StationRecord record = file.read(n).trimmed();
            if (record.Call == StationRecord::EndMarker())
                break;
            if (record.Call.isEmpty())
                continue;
            if (record.Call == call)
                return FoundStation { file.path(), n, record };
        }
    }
    return std::nullopt;
}
