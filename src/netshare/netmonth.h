#pragma once

#include "stationdb/result.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

struct SessionState;

// One finished session as its PC shares it: one line in "<name>.summary" beside its log.
struct NetSessionSummary
{
    QString id; // "<station id>/<log name>": the same session wherever a copy of it lies
    QDate date;
    QString start; // HH:mm
    QString end;
    QString netControl;
    int qni = 0;
    int qtc = 0;
    int qtr = 0; // minutes
    QStringList calls;

    QString station() const { return id.section(u'/', 0, 0); }
};

NetSessionSummary SummaryOf(const QString &station, const QString &logName, const SessionState &s);
QByteArray EncodeSummary(const NetSessionSummary &summary);
// The summary of a line, or why it is none: every field is checked.
Result<NetSessionSummary> DecodeSummary(const QByteArray &line);

// A summary file is one line; anything larger is not one.
inline constexpr qsizetype MaxSummaryFile = 16 * 1024;

struct NetControlMonth
{
    QString netControl;
    int sessions = 0;
    int qni = 0;
    int qtc = 0;
    int qtr = 0;
};

// The month of the whole net: every session of every PC once.
struct NetMonth
{
    QList<NetSessionSummary> sessions; // by date and start
    int qni = 0;
    int qtc = 0;
    int qtr = 0;
    QList<NetControlMonth> byNetControl; // by name
    QStringList refused; // summaries that could not be read, named
};

// Reads "<net>/<station>/sessions/<yyyy-MM>-*.summary" of every station folder, conflict
// copies included; a session found more than once (by its id) counts once.
NetMonth ReadNetMonth(const QString &netFolder, int year, int month);
// The month as CSV (RFC 4180), a row per session and a totals row.
QByteArray NetMonthCsv(const NetMonth &month);
