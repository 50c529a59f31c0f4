#include "retiredarchive.h"

#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 MaxLine = 1024;

std::optional<ArchivedStation> ParseLine(const QByteArray &line, const QByteArray &call)
{
    // Most lines are of other calls: passed over before any field is taken apart.
    if (!line.contains(call))
        return std::nullopt;
    // The record's bytes come last and may hold anything but a line break: only the first
    // four tabs divide.
    qsizetype from = 0;
    QList<QByteArray> fields;
    for (int i = 0; i < 4; ++i) {
        const qsizetype tab = line.indexOf('\t', from);
        if (tab < 0)
            return std::nullopt;
        fields << line.mid(from, tab - from);
        from = tab + 1;
    }
    const QByteArray bytes = line.mid(from);
    if (bytes.size() != StationRecord::Size)
        return std::nullopt;
    ArchivedStation a;
    a.station = StationRecord::fromBytes(bytes);
    if (a.station.Call.trimmed().toLatin1() != call)
        return std::nullopt;
    a.date = QDate::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
    a.deleted = fields[1] == "deleted";
    a.file = QString::fromLatin1(fields[2]);
    bool number = false;
    a.record = fields[3].toInt(&number);
    if (!a.date.isValid() || (!a.deleted && fields[1] != "retired")
        || !CountyTable::isDataFileName(a.file) || !number || a.record < 1
        || a.record > RecordsPerFile)
        return std::nullopt;
    return a;
}

int PositionOf(const CountyTable &table, const QString &fileName)
{
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        if (QFileInfo(table.filePath(p)).fileName() == fileName)
            return p;
    }
    return 0;
}

} // namespace

QByteArray RetiredArchiveLine(
    const QDate &date, bool deleted, const QString &file, int record, const StationRecord &station)
{
    return date.toString(Qt::ISODate).toLatin1() + (deleted ? "\tdeleted\t" : "\tretired\t")
        + file.toLatin1() + '\t' + QByteArray::number(record) + '\t' + station.toBytes() + '\n';
}

std::optional<ArchivedStation> FindArchivedStation(const QString &path, const QString &call)
{
    QFile file(path);
    if (call.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A line cut by the start of the read is passed over like any broken line.
    if (file.size() > MaxRetiredArchiveRead)
        file.seek(file.size() - MaxRetiredArchiveRead);
    const QByteArray wanted = call.toLatin1();
    std::optional<ArchivedStation> latest;
    QByteArray line;
    bool tooLong = false;
    while (!file.atEnd()) {
        const QByteArray piece = file.readLine(MaxLine);
        if (piece.isEmpty())
            break;
        if (!piece.endsWith('\n')) {
            // A line longer than any the program writes is read through, never held.
            tooLong = tooLong || line.size() + piece.size() > MaxLine;
            if (!tooLong)
                line += piece;
            continue;
        }
        if (!tooLong) {
            line += piece.chopped(1);
            if (auto found = ParseLine(line, wanted))
                latest = std::move(found);
        }
        line.clear();
        tooLong = false;
    }
    return latest;
}

QString ArchivedOfferText(const ArchivedStation &archived, const CountyTable &table)
{
    const int p = PositionOf(table, archived.file);
    const QString from = p > 0 ? table.displayName(p) : archived.station.County.trimmed();
    return archived.station.Call.trimmed()
        + (archived.deleted ? QStringLiteral(" DELETED ") : QStringLiteral(" RETIRED "))
        + ShortDate(archived.date) + QStringLiteral(" FROM ") + from
        + QStringLiteral(" - CTRL+ENTER RESTORES AND CHECKS IN");
}

QString StationFilePathOf(const CountyTable &table, const QString &fileName)
{
    const int p = PositionOf(table, fileName);
    return p > 0 ? table.filePath(p) : QString();
}
