#pragma once

#include <QSize>

class QWidget;
struct Services;
struct StartupContext;

// Places a window in the middle of a screen of the given size in pixels.
void CentreWindow(QWidget &window, const QSize &screen);

// The same on the screen the start-up recorded (the screen service's size when none was).
void CentreOnScreen(QWidget &window, const StartupContext &context, const Services &services);
