#include "centrewindow.h"

#include <QWidget>

void CentreWindow(QWidget &window, const QSize &screen)
{
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}
