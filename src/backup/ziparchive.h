#pragma once

#include "stationdb/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One file of a zip archive, whole.
struct ZipEntry
{
    QString name; // as the archive names it, folders included
    QByteArray bytes;
};

// Reads every file of a zip archive (stored or deflated, as every zip program writes them)
// into memory. A damaged archive, a file whose checksum does not match, or one that would
// unpack to more than maxFileBytes is an error naming the archive and the reason; nothing
// is half read.
Result<QList<ZipEntry>> ReadZipArchive(const QString &path, qint64 maxFileBytes);

// The raw deflate data of one zip entry, unpacked; empty optional when it is damaged or
// larger than maxBytes.
std::optional<QByteArray> Inflate(const QByteArray &deflated, qint64 maxBytes);

quint32 ZipCrc32(const QByteArray &bytes);
