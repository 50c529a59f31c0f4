#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CountyTable;

// A member station as the near-miss and suffix lists show it.
struct MemberCall
{
    QString call, name, county;
    QString path;
    int recordNumber = 0;
};

struct MemberCallSearch
{
    std::vector<MemberCall> found;
    QStringList unreadable; // the errors of files that could not be read
};

// The members whose call is one edit from the typed call, in file-table order. The files
// are read at every question, as the station search reads them.
MemberCallSearch FindNearMisses(const CountyTable &table, const QString &call);

// The members whose call ends in the given letters, ordered by call.
MemberCallSearch FindBySuffix(const CountyTable &table, const QString &letters);

// The letters of a suffix search typed into CALLSIGN: "?" and one to three letters.
std::optional<QString> SuffixQuery(const QString &typed);
