#include "centrewindow.h"

#include "platform/services.h"
#include "startup/startupcontext.h"

#include <QWidget>

void CentreWindow(QWidget &window, const QSize &screen)
{
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

void CentreOnScreen(QWidget &window, const StartupContext &context, const Services &services)
{
    QSize screen(context.ScreenWidth, context.ScreenHeight);
    if (screen.isEmpty())
        screen = services.screen->size();
    CentreWindow(window, screen);
}
