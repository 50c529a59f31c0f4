#include "rosterschedule.h"

#include "stationdb/settingsstore.h"

namespace {
const QString kAltNC = QStringLiteral("AltNC");

QString altKey(int n)
{
    return QString::number(n);
}
} // namespace

QStringList RosterDayNames()
{
    return { QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
        QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
        QStringLiteral("Saturday") };
}

QString NormalizeDayName(const QString &text)
{
    const QString lower = text.toLower();
    for (const QString &day : RosterDayNames()) {
        if (lower == day.toLower())
            return day;
    }
    return QString();
}

QStringList NetControlLines(const SettingsStore &settings)
{
    QStringList lines;
    for (const QString &day : RosterDayNames()) {
        lines << settings.get(QStringLiteral("NetCtl"), day) + u' '
                + settings.get(QStringLiteral("NetCtlCall"), day);
    }
    return lines;
}

RosterLine SplitRosterLine(const QString &line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0)
        return { line, QString() };
    return { line.left(blank), line.mid(blank + 1) };
}

Status DeleteAlternate(SettingsStore &settings, int n)
{
    if (n < 1)
        return Status::Ok();
    QList<SettingChange> changes { SettingChange::Delete(kAltNC, altKey(n)) };
    for (int from = n + 1; from <= MaxAlternates; ++from) {
        const QString value = settings.get(kAltNC, altKey(from));
        if (value.isEmpty())
            break;
        changes << SettingChange::Set(kAltNC, altKey(from - 1), value)
                << SettingChange::Delete(kAltNC, altKey(from));
    }
    return settings.saveAll(changes);
}

QStringList AlternateLines(const SettingsStore &settings)
{
    QStringList lines;
    for (int n = 1; n <= MaxAlternates; ++n) {
        const QString value = settings.get(kAltNC, altKey(n));
        if (value.isEmpty())
            break;
        lines << value;
    }
    return lines;
}

int FreeAlternateSlot(const SettingsStore &settings)
{
    for (int n = 1; n <= MaxAlternates; ++n) {
        const QString value = settings.get(kAltNC, altKey(n));
        if (value.isEmpty() || value == QLatin1String("VACANT"))
            return n;
    }
    return 0;
}

bool IdReminderFor(const QString &netControlLabel, const QString &userName)
{
    return SplitRosterLine(netControlLabel).name == userName;
}

QString NetInfoLabel(const QString &name, const QString &call)
{
    return name + QStringLiteral("   ") + call;
}
