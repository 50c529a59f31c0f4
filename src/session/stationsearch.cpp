#include "stationsearch.h"

#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"

#include <algorithm>

StationSearch FindStation(const CountyTable &table, const QString &call)
{
    StationSearch search;
    // A call with a character the Latin-1 files cannot hold is in no file; the files are
    // still read, so that one that cannot be read is named all the same.
    bool comparable = true;
    for (QChar c : call)
        comparable = comparable && c.unicode() <= 0xff;
    const QByteArray wanted = comparable ? call.toLatin1() : QByteArray();
    const QByteArray endMarker = StationRecord::EndMarker().toLatin1();

    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString path = table.filePath(p);
        const Result<QByteArray> bytes = ReadStationRecords(path);
        if (!bytes) {
            search.unreadable << bytes.error();
            continue;
        }
        // Records past the file's end read as blanks: they neither match nor stop the file.
        const qsizetype present = (bytes->size() + StationRecord::Size - 1) / StationRecord::Size;
        for (int n = 1; n <= std::min<qsizetype>(RecordsPerFile, present); ++n) {
            const QByteArrayView c = TrimmedCallBytes(*bytes, n);
            if (c == endMarker)
                break;
            if (c.isEmpty())
                continue;
            if (comparable && c == wanted) {
                const QByteArray record
                    = bytes->mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size);
                search.found = FoundStation { path, n, StationRecord::fromBytes(record).trimmed() };
                return search;
            }
        }
    }
    return search;
}
