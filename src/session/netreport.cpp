#include "netreport.h"

#include "sessionjournal.h"
#include "stationdb/atomicfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Column(const QString &text, int width)
{
    return text.leftJustified(width) + u' ';
}

// The county or state of a check-in: the record's own, or else the file it stands in.
QString CountyOf(const SessionCheckin &c)
{
    if (!c.county.isEmpty())
        return c.county;
    return QFileInfo(c.file).completeBaseName().toUpper();
}

QString HowName(SessionEvent::How how)
{
    switch (how) {
    case SessionEvent::How::Typed:
        return QStringLiteral("typed");
    case SessionEvent::How::Clicked:
        return QStringLiteral("clicked");
    case SessionEvent::How::Added:
        return QStringLiteral("added");
    }
    return QString();
}

} // namespace

QString NetReportText(const SessionState &s)
{
    const QDateTime end = s.end.value_or(s.last);
    const qint64 minutes
        = s.start.isValid() && end.isValid() ? std::max<qint64>(0, s.start.secsTo(end) / 60) : 0;
    QString text;
    text += QStringLiteral("NET REPORT\n");
    text += QStringLiteral("NET DATE:     ") + ShortDate(s.start.date()) + u'\n';
    text += QStringLiteral("START:        ") + s.start.toString(QStringLiteral("HH:mm")) + u'\n';
    text += QStringLiteral("END:          ") + end.toString(QStringLiteral("HH:mm"))
        + (s.end ? QString() : QStringLiteral(" (THE SESSION DID NOT END)")) + u'\n';
    text += QStringLiteral("QTR:          ") + QString::number(minutes)
        + QStringLiteral(" MINUTES\n");
    text += QStringLiteral("QNI:          ") + QString::number(s.checkinCount()) + u'\n';
    text += QStringLiteral("QTC:          ") + QString::number(s.traffic) + u'\n';
    text += QStringLiteral("NET CONTROL:  ") + s.netControl();
    if (s.alternateNetControl && s.netControlChanged) {
        text += QStringLiteral(" (ALT NET CONTROL FROM ")
            + s.netControlChanged->toString(QStringLiteral("HH:mm"));
        if (!s.startNetControl.isEmpty() && s.startNetControl != s.netControl())
            text += QStringLiteral(", IN PLACE OF ") + s.startNetControl;
        text += u')';
    } else if (s.netControlChanged && s.startNetControl != s.netControl()) {
        text += QStringLiteral(" (FROM ") + s.netControlChanged->toString(QStringLiteral("HH:mm"))
            + QStringLiteral(", IN PLACE OF ") + s.startNetControl + u')';
    }
    text += u'\n';
    text += QStringLiteral("\nCHECK INS\n");
    text += (Column(QStringLiteral("TIME"), 5) + Column(QStringLiteral("CALL"), 6)
                + Column(QStringLiteral("NAME"), 15) + Column(QStringLiteral("COUNTY/STATE"), 15)
                + QStringLiteral("CITY"))
        + u'\n';
    for (const SessionCheckin &c : s.checkins) {
        text += (Column(c.at.toString(QStringLiteral("HH:mm")), 5) + Column(c.call, 6)
                    + Column(c.name, 15) + Column(CountyOf(c), 15) + c.city)
                    .trimmed()
            + u'\n';
    }
    if (s.checkins.isEmpty())
        text += QStringLiteral("NONE\n");
    text += QStringLiteral("\nTRAFFIC BY STATION\n");
    const QList<std::pair<QString, int>> byStation = s.trafficOfCheckins();
    for (const auto &[call, count] : byStation)
        text += Column(call, 6) + QString::number(count) + u'\n';
    if (const int unassigned = s.unassignedTraffic(); unassigned > 0)
        text += QStringLiteral("UNASSIGNED ") + QString::number(unassigned) + u'\n';
    if (s.traffic == 0)
        text += QStringLiteral("NONE\n");
    text += QStringLiteral("\nNON LISTED STATIONS\n");
    for (const QString &call : s.nonListedStanding)
        text += call + u'\n';
    if (s.nonListedStanding.isEmpty())
        text += QStringLiteral("NONE\n");
    return text;
}

QByteArray CsvField(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    return '"' + QByteArray(utf8).replace("\"", "\"\"") + '"';
}

QByteArray CheckinCsv(const SessionState &s)
{
    // New columns come last (the net control, then the traffic), so readers of the earlier
    // columns are unaffected.
    QByteArray csv = "time,call,name,county,city,kind,net control,traffic\r\n";
    for (const SessionCheckin &c : s.checkins) {
        const QStringList fields { c.at.toString(QStringLiteral("HH:mm:ss")), c.call, c.name,
            CountyOf(c), c.city, HowName(c.how), c.netControl,
            QString::number(s.trafficOf(c.call)) };
        QByteArrayList row;
        for (const QString &field : fields)
            row << CsvField(field);
        csv += row.join(',') + "\r\n";
    }
    return csv;
}

QString FreeLogName(const Paths &paths, const QDateTime &start)
{
    const QString base = start.isValid() ? start.toString(QStringLiteral("yyyy-MM-dd-HHmm"))
                                         : QStringLiteral("session");
    QString name = base;
    for (int n = 2;
         QFileInfo::exists(paths.sessionLog(name)) || QFileInfo::exists(paths.netReport(name)); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

Result<QString> ArchiveJournal(const Paths &paths, const SessionState &session)
{
    const QString name = FreeLogName(paths, session.start);
    const QString log = paths.sessionLog(name);
    if (!QFile::rename(paths.sessionJournal(), log))
        return Status::Error(
            FileError(paths.sessionJournal(), QStringLiteral("cannot rename it to ") + log));
    const Status report
        = WriteFileAtomically(paths.netReport(name), NetReportText(session).toUtf8());
    if (!report)
        return report; // the log is kept; the report is made again from it when asked for
    return name;
}

Result<QString> SetJournalAside(const Paths &paths, const QDateTime &now)
{
    const QString name = FreeLogName(paths, now) + QStringLiteral("-unreadable");
    const QString aside = paths.sessionsFolder() + name + QStringLiteral(".journal");
    if (!QFile::rename(paths.sessionJournal(), aside))
        return Status::Error(
            FileError(paths.sessionJournal(), QStringLiteral("cannot rename it to ") + aside));
    return name;
}

QList<SessionLogEntry> ListSessionLogs(const Paths &paths)
{
    QList<SessionLogEntry> logs;
    const QFileInfoList files
        = QDir(paths.sessionsFolder()).entryInfoList({ QStringLiteral("*.log") }, QDir::Files);
    for (const QFileInfo &file : files) {
        const Result<JournalContents> contents = ReadJournal(file.filePath());
        if (!contents)
            continue;
        const SessionState s = ReplayEvents(contents->events);
        if (!s.started)
            continue;
        logs.append(
            { file.completeBaseName(), s.start, s.checkinCount(), s.traffic, s.end.has_value() });
    }
    std::sort(logs.begin(), logs.end(), [](const SessionLogEntry &a, const SessionLogEntry &b) {
        return a.start != b.start ? a.start > b.start : a.name > b.name;
    });
    return logs;
}

Result<QString> NetReportOf(const Paths &paths, const QString &name)
{
    if (const Result<QByteArray> report = ReadWholeFile(paths.netReport(name)))
        return QString::fromUtf8(report.value());
    const Result<JournalContents> contents = ReadJournal(paths.sessionLog(name));
    if (!contents)
        return contents.status();
    return NetReportText(ReplayEvents(contents->events));
}
