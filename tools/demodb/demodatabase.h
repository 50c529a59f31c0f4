#pragma once

#include <QDate>
#include <QString>

class Paths;

struct DemoDatabaseOptions
{
    QDate today;
    // Every one of the 116 files with 100 stations (for benchmarks) instead of the small
    // demo of a few dozen counties and states.
    bool full = false;
};

// Writes a database of fictional members, the support files and the database date into
// the root of paths. Existing station files are replaced. False with *error on failure.
bool WriteDemoDatabase(
    const Paths &paths, const DemoDatabaseOptions &options, QString *error = nullptr);

// Writes past sessions into the sessions folder of paths, as finished nets leave them: on
// perMonth evenings of each of the months months up to today's (at most one a day, 19:00,
// 30 to 50 minutes), each with its net control, 8 to 40 check-ins from the home counties
// and some traffic. The same arguments always give the same sessions. False with *error.
bool WriteDemoSessions(
    const Paths &paths, const QDate &today, int months, int perMonth, QString *error = nullptr);
