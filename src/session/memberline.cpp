#include "memberline.h"

#include "stationdb/callsign.h"

QString BuildMemberLine(const QString &call, const QString &name, const QString &city)
{
    QString prefix = CallPrefix(call);
    QString suffix = CallSuffix(call);
    if (suffix.isEmpty() || suffix.size() > 3)
        prefix = call, suffix.clear();
    return PadField(prefix, 5) + PadField(suffix, 5) + name + u' ' + city;
}

QString BuildCheckinLine(const StationRecord &record)
{
    const StationRecord r = record.trimmed();
    return r.Call + u' ' + r.Name + u' ' + r.County + u' ' + r.City;
}

ParsedMemberLine ParseMemberLine(const QString &line)
{
    ParsedMemberLine parsed;
    const qsizetype firstBlank = line.indexOf(u' ');
    const QString prefix = firstBlank < 0 ? line : line.left(firstBlank);
    QString suffix;
    if (prefix.size() == 2 || prefix.size() == 3) {
        // Columns are counted from 1: the suffix starts in column 6, the name in column 11.
        const qsizetype s = line.indexOf(u' ', 5); // 0-based index of the blank
        const qsizetype length = s < 0 ? line.size() - 5 : s - 5;
        if (length >= 1 && length <= 3)
            suffix = line.mid(5, length);
    }
    parsed.call = prefix + suffix;
    parsed.rest = line.mid(10);
    const qsizetype blank = parsed.rest.indexOf(u' ');
    parsed.firstWord = blank < 0 ? parsed.rest : parsed.rest.left(blank);
    return parsed;
}
