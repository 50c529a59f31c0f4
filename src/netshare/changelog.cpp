#include "changelog.h"

#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/crc32.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QStringList &Kinds()
{
    static const QStringList kinds { QStringLiteral("add"), QStringLiteral("edit"),
        QStringLiteral("delete"), QStringLiteral("call"), QStringLiteral("retire"),
        QStringLiteral("restore"), QStringLiteral("heard"), QStringLiteral("marker"),
        QStringLiteral("undone"), QStringLiteral("mine"), QStringLiteral("theirs") };
    return kinds;
}

QByteArray Checksum(const QByteArray &body)
{
    return QByteArray::number(Crc32(body), 16).rightJustified(8, '0');
}

bool IsStationBytes(const QByteArray &bytes)
{
    const StationRecord r = StationRecord::fromBytes(bytes);
    return !r.isFree() && !r.isEndMarker();
}

// 164 hex digits that are 82 bytes a station file may hold, or nothing.
std::optional<QByteArray> RecordField(const QByteArray &hex)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9a-f]{164}$"));
    if (!digits.match(QString::fromLatin1(hex)).hasMatch())
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (bytes.size() != StationRecord::Size || StationFileProblem(bytes))
        return std::nullopt;
    return bytes;
}

Status Refused(const QString &why)
{
    return Status::Error(why);
}

} // namespace

bool IsStationId(const QString &id)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9-]{0,39}$"));
    return form.match(id).hasMatch();
}

QString NewStationId(const QString &call)
{
    QString head = call.trimmed().toUpper();
    head.removeIf([](QChar c) { return !(c.isDigit() || (c >= u'A' && c <= u'Z')); });
    if (head.isEmpty())
        head = QStringLiteral("NET");
    const quint32 random = QRandomGenerator::system()->bounded(0x1000000u);
    return head.left(12) + u'-' + QString::number(random, 16).rightJustified(6, u'0');
}

QByteArray EncodeChange(const ChangeEvent &e)
{
    QByteArray line = "1\t" + e.station.toLatin1() + '\t' + QByteArray::number(e.sequence) + '\t'
        + e.time.toUTC().toString(Qt::ISODate).toLatin1() + '\t' + e.kind.toLatin1() + '\t'
        + e.file.toLatin1() + '\t' + QByteArray::number(e.record) + '\t' + e.before.toHex() + '\t'
        + e.after.toHex();
    return line + '\t' + Checksum(line) + '\n';
}

Result<ChangeEvent> DecodeChange(const QByteArray &line)
{
    if (line.size() > MaxChangeLine)
        return Refused(QStringLiteral("LONGER THAN A CHANGE"));
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0 || line.mid(lastTab + 1) != Checksum(line.left(lastTab)))
        return Refused(QStringLiteral("DAMAGED (CHECKSUM)"));
    const QList<QByteArray> f = line.left(lastTab).split('\t');
    if (f.size() != 9 || f[0] != "1")
        return Refused(QStringLiteral("NOT A CHANGE OF THIS PROGRAM"));
    ChangeEvent e;
    e.station = QString::fromLatin1(f[1]);
    if (!IsStationId(e.station))
        return Refused(QStringLiteral("NO STATION ID"));
    bool ok = false;
    e.sequence = f[2].toLongLong(&ok);
    if (!ok || e.sequence < 1)
        return Refused(QStringLiteral("NO SEQUENCE NUMBER"));
    e.time = QDateTime::fromString(QString::fromLatin1(f[3]), Qt::ISODate);
    if (!e.time.isValid())
        return Refused(QStringLiteral("NO TIME"));
    e.kind = QString::fromLatin1(f[4]);
    if (!Kinds().contains(e.kind))
        return Refused(QStringLiteral("UNKNOWN KIND OF CHANGE"));
    e.file = QString::fromLatin1(f[5]);
    if (!CountyTable::isDataFileName(e.file))
        return Refused(QStringLiteral("NO STATION FILE ") + PrintableText(e.file, 40));
    e.record = f[6].toInt(&ok);
    if (!ok || e.record < 1 || e.record > RecordsPerFile)
        return Refused(QStringLiteral("NO RECORD 1 TO 100"));
    const std::optional<QByteArray> before = RecordField(f[7]);
    const std::optional<QByteArray> after = RecordField(f[8]);
    if (!before || !after)
        return Refused(QStringLiteral("NOT A WHOLE STATION RECORD"));
    e.before = *before;
    e.after = *after;
    return e;
}

QString ChangeKindOf(const QByteArray &before, const QByteArray &after, const QString &note)
{
    if (!note.isEmpty() && Kinds().contains(note))
        return note;
    const StationRecord b = StationRecord::fromBytes(before);
    const StationRecord a = StationRecord::fromBytes(after);
    if (a.isEndMarker())
        return QStringLiteral("marker");
    if (!IsStationBytes(before))
        return QStringLiteral("add");
    if (!IsStationBytes(after))
        return QStringLiteral("delete");
    if (b.Call.trimmed() != a.Call.trimmed())
        return QStringLiteral("call");
    if (SameApartFromDate(before, after))
        return QStringLiteral("heard");
    return QStringLiteral("edit");
}

Result<ChangeRead> ReadChanges(
    const QString &path, qint64 offset, const QString &expectedStation, int firstLineNumber)
{
    const QFileInfo info(path);
    if (!info.exists())
        return ChangeRead { {}, 0, false, {} };
    if (!info.isFile())
        return Status::Error(FileError(path, QStringLiteral("not a regular file")));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::Error(FileError(path, file.errorString()));
    // A log that became shorter was made anew (restored, or copied over): read it all.
    if (offset < 0 || offset > file.size())
        offset = 0;
    if (!file.seek(offset))
        return Status::Error(FileError(path, file.errorString()));
    const QByteArray bytes = file.read(MaxChangeRead);
    ChangeRead read;
    read.nextOffset = offset;
    read.more = offset + bytes.size() < file.size();
    const QString name = info.fileName();
    qsizetype at = 0;
    int lineNumber = firstLineNumber;
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) {
            // No line break yet: half written, or a line longer than any change. The first
            // waits; the second is passed over up to where its line ends.
            if (bytes.size() - at > MaxChangeLine) {
                read.refused << name + QStringLiteral(" LINE ") + QString::number(lineNumber)
                        + QStringLiteral(": LONGER THAN A CHANGE");
                read.nextOffset = offset + bytes.size();
            }
            break;
        }
        const QByteArray line = bytes.mid(at, end - at);
        at = end + 1;
        read.nextOffset = offset + at;
        const int number = lineNumber++;
        if (line.isEmpty())
            continue;
        Result<ChangeEvent> event = DecodeChange(line);
        if (event && event->station != expectedStation)
            event = Refused(QStringLiteral("NAMES ANOTHER STATION"));
        if (!event) {
            read.refused << name + QStringLiteral(" LINE ") + QString::number(number)
                    + QStringLiteral(": ") + event.error();
            continue;
        }
        read.events.append(std::move(event.value()));
    }
    return read;
}

std::optional<ChangeEvent> LastChange(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    constexpr qint64 tail = 64 * 1024;
    file.seek(std::max<qint64>(0, file.size() - tail));
    const QList<QByteArray> lines = file.read(tail).split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (Result<ChangeEvent> event = DecodeChange(*it))
            return std::move(event.value());
    }
    return std::nullopt;
}

bool SameApartFromDate(const QByteArray &a, const QByteArray &b)
{
    constexpr int dated = StationRecord::LastDateOffset;
    return a.left(dated) == b.left(dated);
}

QString LaterDate(const StationRecord &a, const StationRecord &b)
{
    const std::optional<QDate> da = ParseDateText(a.LastDate.trimmed());
    const std::optional<QDate> db = ParseDateText(b.LastDate.trimmed());
    if (!da)
        return b.LastDate;
    if (!db)
        return a.LastDate;
    return *db > *da ? b.LastDate : a.LastDate;
}
