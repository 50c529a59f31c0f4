#pragma once

#include "licencedatabase.h"
#include "membercalls.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class CountyTable;

// What can be said of a typed call that is in no station file.
struct UnknownCallAnswer
{
    // What follows "<call> NOT FOUND - "; empty when nothing is known.
    QString detail;
    // A member one edit away, offered when the call has no licence at all.
    std::optional<MemberCall> suggestion;
    // The licence, for the member form's NAME and CITY.
    std::optional<Licence> licence;
    // A licence database that could not be read, station files that could not be read.
    QStringList problems;
};

// "JOHN SMITH, MOBILE AL (GENERAL)"; a licence that lapsed says so: "(GENERAL, EXPIRED)".
QString LicenceDetail(const Licence &licence, QDate today);

// Asks the licence database (when there is one) and, for a call with no licence, the
// member calls at one edit. A call of another country is not judged by the US database.
UnknownCallAnswer AnswerUnknownCall(
    const QString &call, LicenceDatabase *licences, const CountyTable &table, QDate today);

// "<call> NOT FOUND", then " - " and the detail when there is one.
QString NotFoundText(const QString &call, const UnknownCallAnswer &answer);
