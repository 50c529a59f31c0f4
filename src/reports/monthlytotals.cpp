#include "monthlytotals.h"

#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <limits>

namespace {

qint32 SaturatingAdd(qint32 a, qint32 b)
{
    const qint64 sum = qint64(a) + qint64(b);
    return qint32(qBound(qint64(std::numeric_limits<qint32>::min()), sum,
                         qint64(std::numeric_limits<qint32>::max())));
}

QString NewMemberKey(int index)
{
    return QString::number(index);
}

} // namespace

MonthlyTotals LoadMonthlyTotals(const SettingsStore &settings)
{
    using namespace ReportKeys;
    MonthlyTotals totals;
    totals.Sessions = LeadingInt(settings.get(Section(), Sessions()));
    totals.Checkins = LeadingInt(settings.get(Section(), Checkins()));
    totals.Traffic = LeadingInt(settings.get(Section(), Traffic()));
    return totals;
}

bool HasStoredTotals(const SettingsStore &settings)
{
    return !settings.get(ReportKeys::Section(), ReportKeys::Sessions()).isEmpty();
}

bool SaveMonthlyTotals(SettingsStore &settings, const MonthlyTotals &totals)
{
    using namespace ReportKeys;
    return settings.save(Section(), Sessions(), QString::number(totals.Sessions))
        && settings.save(Section(), Checkins(), QString::number(totals.Checkins))
        && settings.save(Section(), Traffic(), QString::number(totals.Traffic));
}

MonthlyTotals AddSession(const MonthlyTotals &totals, qint32 checkins, qint32 traffic)
{
    MonthlyTotals sum;
    sum.Sessions = SaturatingAdd(totals.Sessions, 1);
    sum.Checkins = SaturatingAdd(totals.Checkins, checkins);
    sum.Traffic = SaturatingAdd(totals.Traffic, traffic);
    return sum;
}

bool AddSessionToStoredTotals(SettingsStore &settings, qint32 checkins, qint32 traffic)
{
    return SaveMonthlyTotals(settings, AddSession(LoadMonthlyTotals(settings), checkins, traffic));
}

QStringList NewMemberEntries(const SettingsStore &settings)
{
    QStringList entries;
    for (int i = 0; i < ReportNewMemberKeys; ++i) {
        const QString value = settings.get(ReportKeys::NewMemberSection(), NewMemberKey(i));
        if (!value.isEmpty())
            entries << value;
    }
    return entries;
}

int FindNewMemberKey(const SettingsStore &settings, const QString &entry)
{
    if (entry.isEmpty())
        return -1;
    for (int i = 0; i < ReportNewMemberKeys; ++i) {
        if (settings.get(ReportKeys::NewMemberSection(), NewMemberKey(i)) == entry)
            return i;
    }
    return -1;
}

bool SaveNewMemberList(SettingsStore &settings, const QStringList &entries)
{
    const QString section = ReportKeys::NewMemberSection();
    int key = 0;
    for (const QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        if (!settings.save(section, NewMemberKey(key), entry))
            return false;
        ++key;
    }
    for (; key <= LastNewMemberKey; ++key) {
        if (!settings.get(section, NewMemberKey(key)).isEmpty()
            && !settings.save(section, NewMemberKey(key), QString()))
            return false;
    }
    return true;
}

bool ResetMonthlyReport(SettingsStore &settings)
{
    if (!SaveMonthlyTotals(settings, MonthlyTotals {}))
        return false;
    const QString section = ReportKeys::NewMemberSection();
    for (int i = 0; i < ReportNewMemberKeys; ++i) {
        if (!settings.get(section, NewMemberKey(i)).isEmpty()
            && !settings.save(section, NewMemberKey(i), QString()))
            return false;
    }
    return settings.save(ReportKeys::Section(), ReportKeys::ResetReport(), QStringLiteral("True"));
}
