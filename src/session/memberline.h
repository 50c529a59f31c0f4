#pragma once

#include "stationdb/stationrecord.h"

#include <QString>

// A member line of the county view: prefix padded to 5 columns, suffix padded to 5, then
// name, a blank and city. A call without a suffix stands whole in the prefix column.
QString BuildMemberLine(const QString &call, const QString &name, const QString &city);

// A check-in line: call, name, county and city (trimmed), joined by single blanks.
QString BuildCheckinLine(const StationRecord &record);

// A member line taken apart again.
struct ParsedMemberLine
{
    QString call; // prefix + suffix
    QString rest; // from the name column to the end
    QString firstWord; // the first word of rest
};
ParsedMemberLine ParseMemberLine(const QString &line);
