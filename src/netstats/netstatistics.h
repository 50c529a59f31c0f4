#pragma once

#include "stationdb/paths.h"
#include "stationdb/stationrecord.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QPainterPath>
#include <QString>
#include <QStringList>

#include <optional>

class CountyTable;

// One past session as the statistics count it: read from its log, so every figure is what
// the log holds.
struct StatSession
{
    QString id; // "<station>/<log name>", or the log name for this PC's own
    QDate date;
    QString start; // HH:mm
    QString netControl; // in charge at the end, as the net report names it
    int qni = 0;
    int qtc = 0;
    int qtr = 0; // minutes
    QStringList files; // the station file of each check-in standing at the end
};

// The logs read: this PC's sessions folder, or, with a net folder, every PC's
// `<id>/sessions/` there (this PC's among them). Logs are read for the months from..to only
// (by their names), each session once by its id; logs over 1 MB, past the thousandth of a
// folder, or without a start are left out. A resumed session is one log, so it counts once.
QList<StatSession> ReadStatSessions(
    const Paths &paths, const QString &netFolder, const QDate &from, const QDate &to);

// A month of sessions, as the charts show it.
struct MonthStatistics
{
    QList<StatSession> sessions; // by date and start
    int qni = 0;
    int qtc = 0;
    int qtr = 0;
    // Average QNI per session by weekday (1 Monday ... 7 Sunday; no session: not listed),
    // and by net control.
    QList<std::pair<int, double>> averageByWeekday;
    QList<std::pair<QString, double>> averageByNetControl;
    // Check-ins of the month by home county (the station file's base name, "Baldwin").
    QMap<QString, int> checkinsByCounty;
};
MonthStatistics StatisticsOfMonth(const QList<StatSession> &sessions, int year, int month);

struct MonthPoint
{
    QDate month; // its first day
    int sessions = 0;
    int qni = 0;
    int qtc = 0;
    double averageQni = 0;
};
// The twelve months up to and including today's, oldest first.
QList<MonthPoint> LastTwelveMonths(const QList<StatSession> &sessions, const QDate &today);

// A member not heard for ten months or more: to be called before the year runs out and it
// is retired (due: the year is out already, and the next look at its county retires it).
struct MemberToCall
{
    QString county; // display name
    StationRecord station; // trimmed
    QDate lastHeard;
    bool due = false;
};
inline constexpr int CallAfterMonths = 10;
QList<MemberToCall> MembersToCall(const CountyTable &table, const QDate &today);
// The home counties (file base names) with at least one member.
QStringList CountiesWithMembers(const CountyTable &table);

// The outlines of the home state's counties (the bundled resource), by file base name, in a
// box 1000 wide, north up.
struct CountyOutline
{
    QString name;
    QPainterPath path;
};
QList<CountyOutline> HomeCountyOutlines();

// The month's numbers as CSV: one row per session; the year's: one row per month; the
// map's: one row per county; the members to call: one row per member.
QByteArray MonthCsv(const MonthStatistics &month);
QByteArray YearCsv(const QList<MonthPoint> &year);
QByteArray CountyCsv(const MonthStatistics &month, const QStringList &withMembers);
QByteArray MembersToCallCsv(const QList<MemberToCall> &members);
