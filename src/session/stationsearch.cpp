#include "stationsearch.h"

#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"

#include <algorithm>

QStringList WalkStationCalls(const CountyTable &table, const StationCallVisit &visit)
{
    QStringList unreadable;
    const QByteArray endMarker = StationRecord::EndMarker().toLatin1();
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString path = table.filePath(p);
        const Result<QByteArray> bytes = ReadStationRecords(path);
        if (!bytes) {
            unreadable << bytes.error();
            continue;
        }
        // Records past the file's end read as blanks: they neither match nor stop the file.
        const qsizetype present = (bytes->size() + StationRecord::Size - 1) / StationRecord::Size;
        for (int n = 1; n <= std::min<qsizetype>(RecordsPerFile, present); ++n) {
            const QByteArrayView c = TrimmedCallBytes(*bytes, n);
            if (c == endMarker)
                break;
            if (!c.isEmpty() && !visit(p, path, *bytes, n, c))
                return unreadable;
        }
    }
    return unreadable;
}

StationRecord StationRecordAt(const QByteArray &bytes, int n)
{
    return StationRecord::fromBytes(
        bytes.mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size))
        .trimmed();
}

StationSearch FindStation(const CountyTable &table, const QString &call)
{
    StationSearch search;
    // A call with a character the Latin-1 files cannot hold is in no file; the files are
    // still read, so that one that cannot be read is named all the same.
    bool comparable = true;
    for (QChar c : call)
        comparable = comparable && c.unicode() <= 0xff;
    const QByteArray wanted = comparable ? call.toLatin1() : QByteArray();
    search.unreadable = WalkStationCalls(
        table, [&](int, const QString &path, const QByteArray &bytes, int n, QByteArrayView c) {
            if (!comparable || c != wanted)
                return true;
            search.found = FoundStation { path, n, StationRecordAt(bytes, n) };
            return false;
        });
    return search;
}
