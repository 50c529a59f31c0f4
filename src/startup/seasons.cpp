#include "seasons.h"

namespace {

// The n-th Sunday (from 1) of a month.
QDate nthSunday(int year, int month, int n)
{
    const QDate first(year, month, 1);
    const int toSunday = (7 - first.dayOfWeek()) % 7; // Qt: Monday = 1 ... Sunday = 7
    return first.addDays(toSunday + 7 * (n - 1));
}

} // namespace

std::optional<DstDates> DstDatesFor(int year)
{
    if (year < 2007)
        return std::nullopt;
    DstDates dates;
    dates.daylightFrom = nthSunday(year, 3, 2);
    dates.forwardNotice = dates.daylightFrom.addDays(-1);
    dates.standardFrom = nthSunday(year, 11, 1);
    dates.backNotice = dates.standardFrom.addDays(-1);
    return dates;
}

DstDecision DecideDst(const QDate &today)
{
    DstDecision decision;
    const auto dates = DstDatesFor(today.year());
    if (!dates)
        return decision;
    if (today == dates->forwardNotice)
        decision.notice = DstNotice::Forward;
    else if (today == dates->backNotice)
        decision.notice = DstNotice::Back;
    else if (today.month() == 3 && today >= dates->daylightFrom)
        decision.daylightTime = true;
    else if (today.month() == 11 && today >= dates->standardFrom)
        decision.daylightTime = false;
    return decision;
}

QString DstNoticeCaption()
{
    return QStringLiteral("DAYLIGHT SAVINGS TIME CHANGE");
}

QString DstNoticeText(DstNotice notice)
{
    switch (notice) {
    case DstNotice::Forward:
        return QStringLiteral("REMIND THE NET TO SET THEIR CLOCK FORWARD ONE HOUR TONIGHT!!");
    case DstNotice::Back:
        return QStringLiteral("REMIND THE NET TO SET THEIR CLOCK BACK ONE HOUR TONIGHT!!");
    case DstNotice::None:
        break;
    }
    return QString();
}

bool ChristmasWindowDue(const QString &todayMonth, const QString &todayDay, bool firstStart)
{
    if (todayMonth != QLatin1String("12"))
        return false;
    const QString firstDay = firstStart ? QStringLiteral("18") : QStringLiteral("19");
    // Two-digit texts order like the numbers they hold.
    return todayDay.size() == 2 && todayDay >= firstDay && todayDay <= QLatin1String("25");
}

QString ChristmasSoundFile(bool firstStart)
{
    return firstStart ? QStringLiteral("home.wav") : QStringLiteral("merryxmas.wav");
}

QString ChristmasFrameFile(int frame)
{
    return QStringLiteral("Xmas-%1.gif").arg(frame);
}

int NextChristmasFrame(int frame)
{
    return (frame + 1) % 3;
}
