#pragma once

#include <QTime>

// The net control's identification times: a reminder starts at 6:39, 6:49, 6:59, 7:09 and
// 7:19 on the twelve-hour clock (so mornings too) and ends ten seconds later.
enum class IdTick {
    None,
    Start, // play the sound and start blinking
    End, // stop blinking and hide the label
};

// What the once-a-second tick does at a time, given whether a reminder is blinking. A
// reminder whose end tick was missed ends at the first later tick past ten seconds.
IdTick ClassifyIdTick(const QTime &time, bool blinking);
