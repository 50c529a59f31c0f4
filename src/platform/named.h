#pragma once

#include <QObject>
#include <QString>

// Gives a control the name the program knows it by, so tests find it with findChild.
template <typename T> T *Named(T *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

template <typename T> T *Named(T *object, const char *name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}
