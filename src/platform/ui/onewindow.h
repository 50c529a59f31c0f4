#pragma once

#include <QPointer>

// One window of a kind: a second request brings the open one to the front, so two copies
// can never show the operator two different states.
template <typename Window, typename Make> Window *OneWindow(QPointer<Window> &open, Make make)
{
    if (!open) {
        open = make();
        open->setAttribute(Qt::WA_DeleteOnClose);
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}
