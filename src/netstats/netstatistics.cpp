#include "netstatistics.h"

#include "netshare/changelog.h"
#include "session/countyview.h"
#include "session/netreport.h"
#include "session/sessionjournal.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <map>

namespace {

// No PC keeps more logs than this for a year (a net a night is 366), nor a log this large
// (an evening's is some tens of kilobytes): a folder from elsewhere that holds more is not
// read further, so the window always opens at once.
constexpr int MaxLogsPerFolder = 1000;
constexpr qint64 MaxStatLog = 1024 * 1024;

std::optional<QDate> DateOfLogName(const QString &name)
{
    const QDate date = QDate::fromString(name.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

void ReadFolder(const QString &folder, const QString &station, const QDate &from, const QDate &to,
    QSet<QString> &seen, QList<StatSession> &out)
{
    const QFileInfoList logs
        = QDir(folder).entryInfoList({ QStringLiteral("*.log") }, QDir::Files, QDir::Name);
    int read = 0;
    for (const QFileInfo &log : logs) {
        const QString name = log.fileName().section(u'.', 0, 0);
        const std::optional<QDate> date = DateOfLogName(name);
        if (!date || *date < from || *date > to || name == QStringLiteral("current"))
            continue;
        const QString id = station.isEmpty() ? name : station + u'/' + name;
        if (seen.contains(id) || log.size() > MaxStatLog || ++read > MaxLogsPerFolder)
            continue;
        const Result<JournalContents> contents = ReadJournal(log.filePath());
        if (!contents)
            continue;
        const SessionState s = ReplayEvents(contents->events);
        if (!s.started)
            continue;
        seen.insert(id);
        StatSession session;
        session.id = id;
        session.date = s.start.date();
        session.start = s.start.toString(QStringLiteral("HH:mm"));
        session.netControl = s.netControl();
        session.qni = s.checkinCount();
        session.qtc = s.traffic;
        const QDateTime end = s.end.value_or(s.last);
        session.qtr = end.isValid() ? int(std::max<qint64>(0, s.start.secsTo(end) / 60)) : 0;
        for (const SessionCheckin &c : s.checkins)
            session.files << c.file;
        out.append(session);
    }
}

QByteArray Row(const QStringList &fields)
{
    QByteArrayList cells;
    for (const QString &field : fields)
        cells << CsvField(field);
    return cells.join(',') + "\r\n";
}

} // namespace

QList<StatSession> ReadStatSessions(
    const Paths &paths, const QString &netFolder, const QDate &from, const QDate &to)
{
    QList<StatSession> out;
    QSet<QString> seen;
    if (netFolder.isEmpty()) {
        ReadFolder(paths.sessionsFolder(), QString(), from, to, seen, out);
    } else {
        const QFileInfoList stations
            = QDir(netFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &station : stations.mid(0, 64)) {
            if (IsStationId(station.fileName()))
                ReadFolder(station.filePath() + QStringLiteral("/sessions"), station.fileName(),
                    from, to, seen, out);
        }
    }
    std::sort(out.begin(), out.end(), [](const StatSession &a, const StatSession &b) {
        return std::tie(a.date, a.start, a.id) < std::tie(b.date, b.start, b.id);
    });
    return out;
}

MonthStatistics StatisticsOfMonth(const QList<StatSession> &sessions, int year, int month)
{
    MonthStatistics out;
    std::map<int, std::pair<int, int>> weekdays; // QNI, sessions
    std::map<QString, std::pair<int, int>> netControls;
    for (const StatSession &s : sessions) {
        if (s.date.year() != year || s.date.month() != month)
            continue;
        out.sessions.append(s);
        out.qni += s.qni;
        out.qtc += s.qtc;
        out.qtr += s.qtr;
        auto &day = weekdays[s.date.dayOfWeek()];
        day.first += s.qni;
        ++day.second;
        auto &nc = netControls[s.netControl];
        nc.first += s.qni;
        ++nc.second;
        for (const QString &file : s.files)
            ++out.checkinsByCounty[QFileInfo(file).completeBaseName()];
    }
    for (const auto &[day, figures] : weekdays)
        out.averageByWeekday.append({ day, double(figures.first) / figures.second });
    for (const auto &[name, figures] : netControls)
        out.averageByNetControl.append({ name, double(figures.first) / figures.second });
    return out;
}

QList<MonthPoint> LastTwelveMonths(const QList<StatSession> &sessions, const QDate &today)
{
    QList<MonthPoint> out;
    const QDate first(today.year(), today.month(), 1);
    for (int back = 11; back >= 0; --back) {
        MonthPoint point;
        point.month = first.addMonths(-back);
        for (const StatSession &s : sessions) {
            if (s.date.year() == point.month.year() && s.date.month() == point.month.month()) {
                ++point.sessions;
                point.qni += s.qni;
                point.qtc += s.qtc;
            }
        }
        point.averageQni = point.sessions > 0 ? double(point.qni) / point.sessions : 0;
        out.append(point);
    }
    return out;
}

QList<MemberToCall> MembersToCall(const CountyTable &table, const QDate &today)
{
    QList<MemberToCall> out;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        // Looking makes no file: a county without one has no member to call.
        if (!QFileInfo::exists(table.filePath(p)))
            continue;
        const Result<QByteArray> bytes = ReadStationRecords(table.filePath(p));
        if (!bytes)
            continue;
        for (int n = 1; n <= int(bytes->size() / StationRecord::Size); ++n) {
            const StationRecord r = StationRecord::fromBytes(
                bytes->mid((n - 1) * StationRecord::Size, StationRecord::Size))
                                        .trimmed();
            if (r.isEndMarker())
                break;
            if (r.isFree() || !IsValidCall(r.Call) || r.Name == QLatin1String("CNTY EOC"))
                continue;
            const std::optional<QDate> heard = ParseDateText(r.LastDate);
            if (!heard || heard->addMonths(CallAfterMonths) > today)
                continue;
            out.append({ table.displayName(p), r, *heard, IsDueForRetirement(r, today) });
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const MemberToCall &a, const MemberToCall &b) {
        return std::tie(a.county, a.lastHeard) < std::tie(b.county, b.lastHeard);
    });
    return out;
}

QStringList CountiesWithMembers(const CountyTable &table)
{
    QStringList out;
    for (int p = CountyTable::First; p <= CountyTable::HomeCounties; ++p) {
        if (!QFileInfo::exists(table.filePath(p)))
            continue;
        if (const Result<bool> has = table.FileHasMembers(table.displayName(p)); has && *has)
            out << QFileInfo(table.fileName(p)).completeBaseName();
    }
    return out;
}

QList<CountyOutline> HomeCountyOutlines()
{
    QList<CountyOutline> out;
    QFile file(QStringLiteral(":/map/home-counties.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype bar = line.indexOf('|');
        if (bar < 0)
            continue;
        CountyOutline county;
        county.name = QString::fromLatin1(line.left(bar));
        for (const QByteArray &ring : line.mid(bar + 1).split(';')) {
            QPolygonF polygon;
            for (const QByteArray &point : ring.split(' ')) {
                const qsizetype comma = point.indexOf(',');
                if (comma > 0)
                    polygon << QPointF(
                        point.left(comma).toDouble(), point.mid(comma + 1).toDouble());
            }
            if (polygon.size() >= 3) {
                polygon << polygon.first();
                county.path.addPolygon(polygon);
                county.path.closeSubpath();
            }
        }
        out.append(county);
    }
    return out;
}

QByteArray MonthCsv(const MonthStatistics &month)
{
    QByteArray csv = Row({ QStringLiteral("date"), QStringLiteral("start"),
        QStringLiteral("net control"), QStringLiteral("QNI"), QStringLiteral("QTC"),
        QStringLiteral("QTR"), QStringLiteral("session") });
    for (const StatSession &s : month.sessions) {
        csv += Row({ s.date.toString(Qt::ISODate), s.start, s.netControl, QString::number(s.qni),
            QString::number(s.qtc), QString::number(s.qtr), s.id });
    }
    csv += Row({ QStringLiteral("TOTAL"), QString(),
        QString::number(month.sessions.size()) + QStringLiteral(" SESSIONS"),
        QString::number(month.qni), QString::number(month.qtc), QString::number(month.qtr),
        QString() });
    return csv;
}

QByteArray YearCsv(const QList<MonthPoint> &year)
{
    QByteArray csv = Row({ QStringLiteral("month"), QStringLiteral("sessions"),
        QStringLiteral("QNI"), QStringLiteral("QTC"), QStringLiteral("average QNI") });
    for (const MonthPoint &m : year) {
        csv += Row({ m.month.toString(QStringLiteral("yyyy-MM")), QString::number(m.sessions),
            QString::number(m.qni), QString::number(m.qtc),
            QString::number(m.averageQni, 'f', 1) });
    }
    return csv;
}

QByteArray CountyCsv(const MonthStatistics &month, const QStringList &withMembers)
{
    QByteArray csv
        = Row({ QStringLiteral("county"), QStringLiteral("check-ins"), QStringLiteral("members") });
    for (const CountyOutline &county : HomeCountyOutlines()) {
        csv += Row(
            { county.name.toUpper(), QString::number(month.checkinsByCounty.value(county.name)),
                withMembers.contains(county.name) ? QStringLiteral("yes") : QStringLiteral("no") });
    }
    return csv;
}

QByteArray MembersToCallCsv(const QList<MemberToCall> &members)
{
    QByteArray csv = Row({ QStringLiteral("county"), QStringLiteral("call"), QStringLiteral("name"),
        QStringLiteral("city"), QStringLiteral("last heard"), QStringLiteral("due") });
    for (const MemberToCall &m : members) {
        csv += Row({ m.county, m.station.Call, m.station.Name, m.station.City,
            m.lastHeard.toString(Qt::ISODate),
            m.due ? QStringLiteral("yes") : QStringLiteral("no") });
    }
    return csv;
}
