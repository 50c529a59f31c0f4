#pragma once

#include "stationdb/result.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// Told how far the import is (done of total, in arbitrary units); answers false to cancel.
using LicenceImportProgress = std::function<bool(qint64 done, qint64 total)>;
// Asked when the new database would hold no licence, or under half of those in the one in
// use; answers true to put it in place all the same. Without it such an import fails.
using LicenceShrinkQuestion = std::function<bool(qint64 fresh, qint64 inUse)>;

struct LicenceImportReport
{
    qint64 licences = 0; // calls in the new database
    qint64 malformedLines = 0; // counted and skipped
    QStringList malformed; // the first of them, "EN.dat:17: 5 fields, at least 19 needed"
    QDate fileDate;
};

// The error text of an import the operator cancelled, so that a window can tell it from a
// failure.
QString LicenceImportCancelledText();

// Builds the licence database from the published zip of the US amateur licences (EN.dat,
// HD.dat and AM.dat in it), read as a stream: nothing is unpacked to disk. The new database
// is written beside databasePath and renamed over it only when it is complete, so a
// cancelled or failed import leaves the previous database in use. A malformed line is
// counted, named with its file and line number, and skipped; so is a line over 4 KB, which is
// never held whole. One import at a time builds beside a database (a lock file beside it);
// it first clears what killed imports left there.
Result<LicenceImportReport> ImportLicenceZip(const QString &zipPath, const QString &databasePath,
    const LicenceImportProgress &progress = {}, const LicenceShrinkQuestion &confirmShrink = {});
