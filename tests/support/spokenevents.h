#pragma once

#include "platform/ui/announcer.h"

#include <QAccessible>
#include <QStringList>
#include <QWidget>

// What a screen reader is told while the focus stays put: each announcement of the window,
// as the accessibility layer presents it (an object of role notification named by the
// text). The platform's bridge is not active in tests, so its events are not seen here.
class SpokenEvents
{
public:
    explicit SpokenEvents(QWidget &window)
    {
        for (Announcer *announcer : window.findChildren<Announcer *>()) {
            QObject::connect(
                announcer, &Announcer::announced, announcer, [this, announcer](const QString &) {
                    QAccessibleInterface *object = QAccessible::queryAccessibleInterface(announcer);
                    said << (object && object->role() == QAccessible::Notification
                                && !object->state().invisible
                            ? object->text(QAccessible::Name)
                            : QStringLiteral("(not a visible notification)"));
                });
        }
    }

    QStringList said;
};
