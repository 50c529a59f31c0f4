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
