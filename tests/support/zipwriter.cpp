#include "zipwriter.h"

#include "backup/ziparchive.h"

QByteArray MakeZip(const QList<ZipFile> &files)
{
    auto le = [](QByteArray &out, quint32 value, int size) {
        for (int i = 0; i < size; ++i) // beyond four bytes: zeros
            out += char(i < 4 ? (value >> (8 * i)) & 0xff : 0);
    };
    QByteArray zip, directory;
    for (const ZipFile &f : files) {
        QByteArray packed = f.bytes;
        if (f.deflate) {
            packed = qCompress(f.bytes, 9).mid(6);
            packed.chop(4);
        }
        const quint32 method = f.deflate ? 8 : 0, crc = ZipCrc32(f.bytes);
        quint32 dosTime = 0;
        if (f.modified.isValid()) {
            const QDate d = f.modified.date();
            const QTime t = f.modified.time();
            dosTime = quint32(t.hour() << 11 | t.minute() << 5 | t.second() / 2)
                | quint32((d.year() - 1980) << 9 | d.month() << 5 | d.day()) << 16;
        }
        QByteArray local, central;
        le(local, 0x04034b50, 4);
        le(central, 0x02014b50, 4);
        le(central, 20, 2);
        for (QByteArray *h : { &local, &central }) {
            le(*h, 20, 2);
            le(*h, 0, 2);
            le(*h, method, 2);
            le(*h, dosTime, 4);
            le(*h, crc, 4);
            le(*h, quint32(packed.size()), 4);
            le(*h, quint32(f.bytes.size()), 4);
            le(*h, quint32(f.name.size()), 2);
            le(*h, 0, 2);
        }
        le(central, 0, 2 + 2 + 2 + 4);
        le(central, quint32(zip.size()), 4);
        zip += local + f.name.toLatin1() + packed;
        directory += central + f.name.toLatin1();
    }
    QByteArray end;
    le(end, 0x06054b50, 4);
    le(end, 0, 4);
    le(end, quint32(files.size()), 2);
    le(end, quint32(files.size()), 2);
    le(end, quint32(directory.size()), 4);
    le(end, quint32(zip.size()), 4);
    le(end, 0, 2);
    return zip + directory + end;
}
