#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The four dates of one year's clock changes under the US rule in force since 2007: the
// changes fall on the second Sunday of March and the first Sunday of November, and the net is
// reminded on the Saturday evening before each.
struct DstDates
{
    QDate forwardNotice;
    QDate daylightFrom;
    QDate backNotice;
    QDate standardFrom;
};

// Years before the rule took effect have no dates.
std::optional<DstDates> DstDatesFor(int year);

enum class DstNotice { None, Forward, Back };

struct DstDecision
{
    DstNotice notice = DstNotice::None;
    // The value to store as Settings/DST, when today settles it.
    std::optional<bool> daylightTime;
};

// What the start-up check does today. Daylight time is stored on every March day from the
// change on, standard time on every November day from the change on; a notice day stores
// nothing, so the main window keeps the value of the season that is ending.
DstDecision DecideDst(const QDate &today);

QString DstNoticeCaption();
QString DstNoticeText(DstNotice notice);

// The Christmas greeting runs in the week before Christmas; on the very first start it comes
// a day earlier, with the welcome sound instead of the carol.
bool ChristmasWindowDue(const QString &todayMonth, const QString &todayDay, bool firstStart);
QString ChristmasSoundFile(bool firstStart);

// The greeting's animation: three pictures, one after the other.
QString ChristmasFrameFile(int frame);
int NextChristmasFrame(int frame);
