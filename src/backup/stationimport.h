#pragma once

#include "stationdb/result.h"

#include <QString>
#include <QStringList>

class CountyTable;

// What an import of the net manager's station files did. Every name in it can be shown as it
// is: names from the source are printable and cut short.
struct ImportReport
{
    // Station file names brought in; after a failed restore, those that were to come in
    // (copied says how many did).
    QStringList taken;
    // Station files left out because they cannot be one: "net/Lee.dat (the reason)".
    QStringList refused;
    // The first few names in the source that are no station file, or one already taken; a zip
    // can hold many thousands.
    QStringList skipped;
    qsizetype skippedCount = 0; // all of them, named or not
    int copied = 0; // live files replaced
    QString safetyFolder; // where the replaced live files were kept
    Status failure; // the source or file and the reason
    bool ok() const { return failure.ok(); }
};

// Brings in the station files of a folder, or of a zip archive (at any depth inside it), by
// name whatever its case ("LEE.DAT" is Lee.dat), through the restore: the live files are
// kept in safetyFolder (when given) first. Only the first entry of each name is looked at,
// and only a whole station file (StationFileProblem) comes in; a live file is never
// replaced by anything else. Nothing is copied when the source holds no station file that
// can come in. A zip is read as a stream, entry by entry, and no more of it is unpacked than
// the station files need: whatever the archive holds, the import takes little memory and
// ends in seconds.
ImportReport ImportStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &source, const QString &safetyFolder);

// The status line after an import: what came in, what was refused and why, the first few
// names skipped, where the former files are kept (always last).
QString ImportStatusText(const ImportReport &report);
