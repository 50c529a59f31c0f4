#pragma once

#include "platform/named.h"

#include <QAction>
#include <QMenu>

// Adds an entry, named as the program knows it, whose click goes to a handler of receiver.
template <typename T>
QAction *AddEntry(
    QMenu *menu, const char *name, const QString &caption, T *receiver, void (T::*handler)())
{
    QAction *action = Named(menu->addAction(caption), name);
    QObject::connect(action, &QAction::triggered, receiver, handler);
    return action;
}
