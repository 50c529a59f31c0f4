#include "idreminder.h"

namespace {
bool isIdMinute(const QTime &time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const int minute = time.minute();
    if (hour == 6)
        return minute == 39 || minute == 49 || minute == 59;
    if (hour == 7)
        return minute == 9 || minute == 19;
    return false;
}
} // namespace

IdTick ClassifyIdTick(const QTime &time, bool blinking)
{
    const bool idMinute = isIdMinute(time);
    if (idMinute && time.second() == 10)
        return IdTick::End;
    if (idMinute && time.second() == 0)
        return IdTick::Start;
    if (blinking && time.second() > 10)
        return IdTick::End;
    return IdTick::None;
}
