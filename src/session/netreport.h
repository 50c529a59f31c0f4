#pragma once

#include "sessionreplay.h"
#include "stationdb/paths.h"
#include "stationdb/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The plain-text net report of a session: date, start, end, QTR, QNI, QTC, net control,
// the check-ins in check-in order and the calls not found.
QString NetReportText(const SessionState &session);

// A CSV field (RFC 4180): quoted where it holds a comma, a quote or a line break, quotes
// doubled.
QByteArray CsvField(const QString &text);

// The session's check-ins as CSV (RFC 4180: CRLF line ends, fields quoted where they hold a
// comma, a quote or a line break, quotes doubled), one header row first.
QByteArray CheckinCsv(const SessionState &session);

// "yyyy-MM-dd-HHmm" of the start, with "-2", "-3" ... when a log of that name exists.
QString FreeLogName(const Paths &paths, const QDateTime &start);

// The journal becomes the session's log (renamed, so it is never half copied) and its net
// report is written beside it. Returns the name of both (without .log / .txt).
Result<QString> ArchiveJournal(const Paths &paths, const SessionState &session);

// A journal that holds no readable session is kept, renamed, rather than written over.
Result<QString> SetJournalAside(const Paths &paths, const QDateTime &now);

// A past session as Reports > Session Logs lists it.
struct SessionLogEntry
{
    QString name;
    QDateTime start;
    int qni = 0;
    int qtc = 0;
    bool ended = false;
};

// The logs of the sessions folder, newest first. Logs that cannot be read are left out.
QList<SessionLogEntry> ListSessionLogs(const Paths &paths);

// The net report of a past session: the one written beside its log, or, when that is
// missing, made again from the log.
Result<QString> NetReportOf(const Paths &paths, const QString &name);
