#pragma once

#include "platform/ui/qtservices.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// What the X server shows of a widget (QScreen::grabWindow of its window, cut to the
// widget) against a fresh rendering of it (QWidget::grab). Empty when they agree within
// the time a paint takes to arrive; otherwise how they differ. Needs the xcb platform.
QString ScreenDiffers(QWidget *widget);

// The program's own message boxes, shown for real: while each waits, what the screen shows
// of it is compared with its rendering, then the scripted answer is clicked.
class OnScreenDialogs : public QtDialogs
{
public:
    MsgButton message(QWidget *parent, const QString &title, const QString &text, MsgIcon icon,
        MsgButtons buttons, MsgButton defaultButton = NoButton) override;

    QList<MsgButton> answers; // taken in order; without one the default is pressed
    QStringList titles;
    QStringList paintFaults; // "title: how the screen differed", one per box that did
};
