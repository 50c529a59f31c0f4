#include "zipwriter.h"

#include "stationdb/crc32.h"

namespace {

void Le(QByteArray &out, quint32 value, int size)
{
    for (int i = 0; i < size; ++i) // beyond four bytes: zeros
        out += char(i < 4 ? (value >> (8 * i)) & 0xff : 0);
}

QByteArray Deflated(const QByteArray &bytes)
{
    QByteArray packed = qCompress(bytes, 9).mid(6);
    packed.chop(4);
    return packed;
}

quint32 DosTime(const QDateTime &modified)
{
    if (!modified.isValid())
        return 0;
    const QDate d = modified.date();
    const QTime t = modified.time();
    return quint32(t.hour() << 11 | t.minute() << 5 | t.second() / 2)
        | quint32((d.year() - 1980) << 9 | d.month() << 5 | d.day()) << 16;
}

// The fields a local header and its directory entry share, from the version needed on.
QByteArray SharedFields(quint32 flags, quint32 method, quint32 dosTime, quint32 crc,
    qsizetype packed, qsizetype size, qsizetype nameSize)
{
    QByteArray h;
    Le(h, 20, 2);
    Le(h, flags, 2);
    Le(h, method, 2);
    Le(h, dosTime, 4);
    Le(h, crc, 4);
    Le(h, quint32(packed), 4);
    Le(h, quint32(size), 4);
    Le(h, quint32(nameSize), 2);
    Le(h, 0, 2);
    return h;
}

QByteArray CentralEntry(
    const QByteArray &fields, quint32 localOffset, const QByteArray &name, bool link = false)
{
    QByteArray central;
    Le(central, 0x02014b50, 4);
    // Made on Unix, where the upper half of the external attributes is the file's mode.
    Le(central, link ? 0x0314 : 20, 2);
    central += fields;
    Le(central, 0, 2 + 2 + 2);
    Le(central, link ? 0120777u << 16 : 0, 4);
    Le(central, localOffset, 4);
    return central + name;
}

QByteArray EndRecord(qsizetype entries, qsizetype directorySize, qsizetype directoryOffset)
{
    QByteArray end;
    Le(end, 0x06054b50, 4);
    Le(end, 0, 4);
    Le(end, quint32(entries), 2);
    Le(end, quint32(entries), 2);
    Le(end, quint32(directorySize), 4);
    Le(end, quint32(directoryOffset), 4);
    Le(end, 0, 2);
    return end;
}

} // namespace

QByteArray MakeZip(const QList<ZipFile> &files)
{
    QByteArray zip, directory;
    const char *lastData = nullptr;
    QByteArray lastPacked;
    quint32 lastCrc = 0;
    for (const ZipFile &f : files) {
        if (f.bytes.constData() != lastData || f.bytes.isEmpty()) {
            lastData = f.bytes.constData();
            lastPacked = Deflated(f.bytes);
            lastCrc = Crc32(f.bytes);
        }
        const QByteArray packed = f.deflate ? lastPacked : f.bytes;
        const quint32 method = f.deflate ? 8 : 0, crc = lastCrc;
        const bool streamed = f.streamed && f.deflate;
        const QByteArray name = f.name.toLatin1();
        const QByteArray fields = SharedFields(streamed ? 8 : 0, method, DosTime(f.modified), crc,
            packed.size(), f.bytes.size(), name.size());
        directory += CentralEntry(fields, quint32(zip.size()), name, f.link);
        Le(zip, 0x04034b50, 4);
        if (streamed) {
            zip += SharedFields(8, method, DosTime(f.modified), 0, 0, 0, name.size()) + name
                + packed;
            Le(zip, 0x08074b50, 4);
            Le(zip, crc, 4);
            Le(zip, quint32(packed.size()), 4);
            Le(zip, quint32(f.bytes.size()), 4);
        } else {
            zip += fields + name + packed;
        }
    }
    return zip + directory + EndRecord(files.size(), directory.size(), zip.size());
}

QByteArray MakeSharedDataZip(const QStringList &names, const QByteArray &bytes)
{
    const QByteArray packed = Deflated(bytes);
    const quint32 crc = Crc32(bytes);
    QByteArray zip;
    Le(zip, 0x04034b50, 4);
    const QByteArray first = names.value(0).toLatin1();
    zip += SharedFields(0, 8, 0, crc, packed.size(), bytes.size(), first.size()) + first + packed;
    QByteArray directory;
    for (const QString &name : names) {
        const QByteArray n = name.toLatin1();
        directory += CentralEntry(
            SharedFields(0, 8, 0, crc, packed.size(), bytes.size(), n.size()), 0, n);
    }
    return zip + directory + EndRecord(names.size(), directory.size(), zip.size());
}
