#include "monthlytotals.h"

#include "maintenance/newmemberlist.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <limits>
#include <utility>

namespace {

qint32 SaturatingAdd(qint32 a, qint32 b)
{
    const qint64 sum = qint64(a) + qint64(b);
    return qint32(qBound(qint64(std::numeric_limits<qint32>::min()), sum,
        qint64(std::numeric_limits<qint32>::max())));
}

} // namespace

Result<MonthlyTotals> ReadMonthlyTotals(const SettingsStore &settings)
{
    using namespace ReportKeys;
    MonthlyTotals totals;
    for (const auto &[key, total] :
        { std::pair { Sessions(), &totals.Sessions }, std::pair { Checkins(), &totals.Checkins },
            std::pair { Traffic(), &totals.Traffic } }) {
        const Result<QString> text = settings.read(Section(), key);
        if (!text)
            return text.status();
        *total = LeadingInt(*text);
    }
    return totals;
}

MonthlyTotals LoadMonthlyTotals(const SettingsStore &settings)
{
    const Result<MonthlyTotals> totals = ReadMonthlyTotals(settings);
    return totals ? *totals : MonthlyTotals {};
}

bool HasStoredTotals(const SettingsStore &settings)
{
    return !settings.get(ReportKeys::Section(), ReportKeys::Sessions()).isEmpty();
}

QList<SettingChange> MonthlyTotalsChanges(const MonthlyTotals &totals)
{
    using namespace ReportKeys;
    return { SettingChange::Set(Section(), Sessions(), QString::number(totals.Sessions)),
        SettingChange::Set(Section(), Checkins(), QString::number(totals.Checkins)),
        SettingChange::Set(Section(), Traffic(), QString::number(totals.Traffic)) };
}

Status SaveMonthlyTotals(SettingsStore &settings, const MonthlyTotals &totals)
{
    return settings.saveAll(MonthlyTotalsChanges(totals));
}

MonthlyTotals AddSession(const MonthlyTotals &totals, qint32 checkins, qint32 traffic)
{
    MonthlyTotals sum;
    sum.Sessions = SaturatingAdd(totals.Sessions, 1);
    sum.Checkins = SaturatingAdd(totals.Checkins, checkins);
    sum.Traffic = SaturatingAdd(totals.Traffic, traffic);
    return sum;
}

Status AddSessionToStoredTotals(
    SettingsStore &settings, qint32 checkins, qint32 traffic, const QString &sessionId)
{
    // Totals that could not be read are not taken as zeros: the month would start over.
    const Result<MonthlyTotals> stored = ReadMonthlyTotals(settings);
    if (!stored)
        return stored.status();
    if (sessionId.isEmpty())
        return SaveMonthlyTotals(settings, AddSession(*stored, checkins, traffic));
    const Result<QString> counted
        = settings.read(ReportKeys::Section(), ReportKeys::CountedSession());
    if (!counted)
        return counted.status();
    if (*counted == sessionId)
        return Status::Ok(); // in the totals already: a second save never counts it twice
    // The mark goes into the same write as the totals, so they can never disagree.
    return settings.saveAll(MonthlyTotalsChanges(AddSession(*stored, checkins, traffic))
        << SettingChange::Set(ReportKeys::Section(), ReportKeys::CountedSession(), sessionId));
}

bool SessionWasCounted(const SettingsStore &settings, const QString &sessionId)
{
    return !sessionId.isEmpty()
        && settings.get(ReportKeys::Section(), ReportKeys::CountedSession()) == sessionId;
}

QStringList NewMemberEntries(const SettingsStore &settings)
{
    QStringList entries;
    for (int i = 0; i < NewMemberList::ShownKeys; ++i) {
        const QString value = settings.get(NewMemberList::Section(), NewMemberList::Key(i));
        if (!value.isEmpty())
            entries << value;
    }
    return entries;
}

int FindNewMemberKey(const SettingsStore &settings, const QString &entry)
{
    if (entry.isEmpty())
        return -1;
    for (int i = 0; i < NewMemberList::ShownKeys; ++i) {
        if (settings.get(NewMemberList::Section(), NewMemberList::Key(i)) == entry)
            return i;
    }
    return -1;
}

QList<SettingChange> NewMemberListChanges(const SettingsStore &settings, const QStringList &entries)
{
    const QString section = NewMemberList::Section();
    QList<SettingChange> changes;
    int key = 0;
    for (const QString &entry : entries) {
        if (!entry.isEmpty())
            changes << SettingChange::Set(section, NewMemberList::Key(key++), entry);
    }
    for (; key <= NewMemberList::OverflowKey; ++key) {
        if (!settings.get(section, NewMemberList::Key(key)).isEmpty())
            changes << SettingChange::Set(section, NewMemberList::Key(key), QString());
    }
    return changes;
}

Status SaveNewMemberList(SettingsStore &settings, const QStringList &entries)
{
    return settings.saveAll(NewMemberListChanges(settings, entries));
}

Status ResetMonthlyReport(SettingsStore &settings)
{
    QList<SettingChange> changes = MonthlyTotalsChanges(MonthlyTotals {});
    const QString section = NewMemberList::Section();
    for (int i = 0; i < NewMemberList::ShownKeys; ++i) {
        if (!settings.get(section, NewMemberList::Key(i)).isEmpty())
            changes << SettingChange::Set(section, NewMemberList::Key(i), QString());
    }
    changes << SettingChange::Set(
        ReportKeys::Section(), ReportKeys::ResetReport(), QStringLiteral("True"));
    return settings.saveAll(changes);
}
