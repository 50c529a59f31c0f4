#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

struct ZipFile
{
    QString name;
    QByteArray bytes;
    bool deflate;
    // The entry's time; a zero DOS time when not given.
    QDateTime modified = {};
};

// A zip as zip programs write one: each file stored, or deflated (zlib's stream without
// its header and checksum is the raw deflate data a zip holds). Written here, not by the
// library under test, so a reader is checked against an independent writer.
QByteArray MakeZip(const QList<ZipFile> &files);
