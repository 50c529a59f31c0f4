#pragma once

#include "stationdb/result.h"
#include "stationdb/settingsstore.h"

#include <QList>
#include <QString>
#include <QStringList>

// The running totals of the month, kept as decimal texts in the settings section "Report".
struct MonthlyTotals
{
    qint32 Sessions = 0;
    qint32 Checkins = 0;
    qint32 Traffic = 0;
    bool operator==(const MonthlyTotals &) const = default;
};

namespace ReportKeys {
inline QString Section()
{
    return QStringLiteral("Report");
}
inline QString Sessions()
{
    return QStringLiteral("Sessions");
}
inline QString Checkins()
{
    return QStringLiteral("Checkins");
}
inline QString Traffic()
{
    return QStringLiteral("Traffic");
}
inline QString ResetReport()
{
    return QStringLiteral("ResetReport");
}
inline QString CountedSession()
{
    return QStringLiteral("CountedSession");
}
inline QString Subject()
{
    return QStringLiteral("Subject");
}
inline QString MsgText()
{
    return QStringLiteral("MsgText");
}
} // namespace ReportKeys

// Each total read as the number at the start of its text (0 when there is none, or when the
// store cannot be read).
MonthlyTotals LoadMonthlyTotals(const SettingsStore &settings);
// The same, but a store that cannot be read is an error instead of zeros.
Result<MonthlyTotals> ReadMonthlyTotals(const SettingsStore &settings);
// True when the month has stored totals at all (the report window shows zeros otherwise).
bool HasStoredTotals(const SettingsStore &settings);
// Sessions, Checkins and Traffic as one batch: the three never get out of step.
QList<SettingChange> MonthlyTotalsChanges(const MonthlyTotals &totals);
Status SaveMonthlyTotals(SettingsStore &settings, const MonthlyTotals &totals);

// One more session with its figures. Sums stay within 32 bits instead of wrapping.
MonthlyTotals AddSession(const MonthlyTotals &totals, qint32 checkins, qint32 traffic);
// Adds a session to the totals as they are stored at this moment, so a correction made in
// the report editor during the session is kept. Nothing is stored when it fails, so trying
// again counts the session once. A session named by sessionId (its journal's start) is
// marked in the same write as the totals ("Report"/"CountedSession"), and a session
// marked so already is not added again.
Status AddSessionToStoredTotals(
    SettingsStore &settings, qint32 checkins, qint32 traffic, const QString &sessionId = QString());
// True when the session of that id is in the stored totals.
bool SessionWasCounted(const SettingsStore &settings, const QString &sessionId);

// The non-empty new-member values of the keys "0" to "14", in key order.
QStringList NewMemberEntries(const SettingsStore &settings);
// The key ("0" to "14") of the first stored entry with exactly this text, or -1.
int FindNewMemberKey(const SettingsStore &settings, const QString &entry);
// Stores the list from key "0" on, leaving out empty entries, and empties every key after
// it up to "51", so no stale copy of a former entry is left to show as a duplicate.
QList<SettingChange> NewMemberListChanges(
    const SettingsStore &settings, const QStringList &entries);
Status SaveNewMemberList(SettingsStore &settings, const QStringList &entries);

// Starts a new month in one batch: zero totals, the shown new-member keys emptied, the
// reset flag "True".
Status ResetMonthlyReport(SettingsStore &settings);
