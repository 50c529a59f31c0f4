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
    // Written as a zip program writing to a pipe does: the local header gives neither the
    // lengths nor the checksum, a data descriptor after the data does (deflated only).
    bool streamed = false;
    // A symbolic link, as zip programs on Unix store one: its target as the data, the kind in
    // the directory's Unix mode.
    bool link = false;
};

// A zip as zip programs write one: each file stored, or deflated (zlib's stream without
// its header and checksum is the raw deflate data a zip holds). Written here, not by the
// library under test, so a reader is checked against an independent writer. Files that
// share their bytes (copies of one QByteArray) are packed once, so a test can write
// thousands of large ones quickly.
QByteArray MakeZip(const QList<ZipFile> &files);

// A zip whose central directory lists each of names, every entry pointing at the same one
// deflated data (the local entry named as the first): the smallest zip that unpacks to
// names.size() times bytes for a reader that believes its directory.
QByteArray MakeSharedDataZip(const QStringList &names, const QByteArray &bytes);
