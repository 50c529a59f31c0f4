#pragma once

#include <QSize>

class QWidget;

// Places a window in the middle of a screen of the given size in pixels.
void CentreWindow(QWidget &window, const QSize &screen);
