#pragma once

#include "stationdb/result.h"

#include <QString>
#include <QStringList>
#include <functional>

class CountyTable;

// What a backup or restore did.
struct CopyReport
{
    int copied = 0;
    int missing = 0; // station files not found at the source (not every county has one)
    Status failure; // the file and the reason of the failure that stopped it
    QString safetyFolder; // where the replaced live files were kept before a restore
    bool ok() const { return failure.ok(); }
};

// Called before each file (n from 1), so a window can show progress and repaint.
using CopyProgress = std::function<void(int n)>;

// Copies one file so that the target is either the old file or the whole new one: the copy
// goes to a temporary name beside the target and replaces it only when complete. A link in
// the target's place is refused, never written through.
Status CopyFileWhole(const QString &from, const QString &to);

// Copies the 116 station files of the data folder into destination (made when missing).
// A file the data folder does not have is skipped and counted; the first failing copy stops
// the backup. A destination that is the data folder itself, or not a full path, is refused.
CopyReport BackupStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &destination, const CopyProgress &progress = {});

// Copies station files from source back into the data folder: all 116, or the names given.
// Before any live file is replaced, the live files about to be replaced are copied to
// safetyFolder (when given), so a wrong restore can be undone. A source that holds none of the
// files copies nothing and says so.
CopyReport RestoreStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &source, const QStringList &names, const QString &safetyFolder,
    const CopyProgress &progress = {});

// The 116 station file names in table order.
QStringList StationFileNames(const CountyTable &table);
