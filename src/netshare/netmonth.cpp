#include "netmonth.h"

#include "changelog.h"

#include "session/netreport.h"
#include "session/sessionreplay.h"
#include "stationdb/atomicfile.h"
#include "stationdb/callsign.h"
#include "stationdb/crc32.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <map>

namespace {

QByteArray Checksum(const QByteArray &body)
{
    return QByteArray::number(Crc32(body), 16).rightJustified(8, '0');
}

// A name or call typed by a person, fit for one field of a line.
QByteArray Field(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return clean.trimmed().left(80).toUtf8();
}

bool IsTime(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    return form.match(text).hasMatch();
}

std::optional<int> Count(const QByteArray &field)
{
    bool ok = false;
    const int n = field.toInt(&ok);
    if (!ok || n < 0 || n > 100000)
        return std::nullopt;
    return n;
}

} // namespace

NetSessionSummary SummaryOf(const QString &station, const QString &logName, const SessionState &s)
{
    NetSessionSummary summary;
    summary.id = station + u'/' + logName;
    summary.date = s.start.date();
    summary.start = s.start.toString(QStringLiteral("HH:mm"));
    const QDateTime end = s.end.value_or(s.last);
    summary.end = end.isValid() ? end.toString(QStringLiteral("HH:mm")) : summary.start;
    summary.netControl = s.netControl();
    summary.qni = s.checkinCount();
    summary.qtc = s.traffic;
    summary.qtr = s.start.isValid() && end.isValid()
        ? int(std::clamp<qint64>(s.start.secsTo(end) / 60, 0, 100000))
        : 0;
    for (const SessionCheckin &c : s.checkins)
        summary.calls << c.call;
    return summary;
}

QByteArray EncodeSummary(const NetSessionSummary &s)
{
    QByteArrayList calls;
    for (const QString &call : s.calls)
        calls << Field(call);
    const QByteArray line = "1\t" + s.id.toLatin1() + '\t' + s.date.toString(Qt::ISODate).toLatin1()
        + '\t' + s.start.toLatin1() + '\t' + s.end.toLatin1() + '\t' + Field(s.netControl) + '\t'
        + QByteArray::number(s.qni) + '\t' + QByteArray::number(s.qtc) + '\t'
        + QByteArray::number(s.qtr) + '\t' + calls.join(' ');
    return line + '\t' + Checksum(line) + '\n';
}

Result<NetSessionSummary> DecodeSummary(const QByteArray &raw)
{
    const QByteArray line = raw.endsWith('\n') ? raw.chopped(1) : raw;
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0 || line.mid(lastTab + 1) != Checksum(line.left(lastTab)))
        return Status::Error(QStringLiteral("DAMAGED (CHECKSUM)"));
    const QList<QByteArray> f = line.left(lastTab).split('\t');
    if (f.size() != 10 || f[0] != "1")
        return Status::Error(QStringLiteral("NOT A SESSION SUMMARY"));
    NetSessionSummary s;
    s.id = QString::fromLatin1(f[1]);
    const QString station = s.id.section(u'/', 0, 0);
    const QString name = s.id.section(u'/', 1);
    static const QRegularExpression logName(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{4}(-[0-9]{1,4})?$"));
    if (!IsStationId(station) || !logName.match(name).hasMatch())
        return Status::Error(QStringLiteral("NO SESSION ID"));
    s.date = QDate::fromString(QString::fromLatin1(f[2]), Qt::ISODate);
    s.start = QString::fromLatin1(f[3]);
    s.end = QString::fromLatin1(f[4]);
    if (!s.date.isValid() || !IsTime(s.start) || !IsTime(s.end))
        return Status::Error(QStringLiteral("NO DATE OR TIME"));
    s.netControl = QString::fromUtf8(f[5]);
    if (s.netControl.size() > 80 || s.netControl.contains(QChar(QChar::ReplacementCharacter)))
        return Status::Error(QStringLiteral("NO NET CONTROL"));
    const std::optional<int> qni = Count(f[6]), qtc = Count(f[7]), qtr = Count(f[8]);
    if (!qni || !qtc || !qtr)
        return Status::Error(QStringLiteral("NO COUNTS"));
    s.qni = *qni;
    s.qtc = *qtc;
    s.qtr = *qtr;
    for (const QByteArray &call : f[9].split(' ')) {
        if (call.isEmpty())
            continue;
        if (!IsValidCall(QString::fromLatin1(call)))
            return Status::Error(
                QStringLiteral("NO CALL ") + PrintableText(QString::fromLatin1(call), 12));
        s.calls << QString::fromLatin1(call);
    }
    return s;
}

NetMonth ReadNetMonth(const QString &netFolder, int year, int month)
{
    NetMonth out;
    const QString prefix = QDate(year, month, 1).toString(QStringLiteral("yyyy-MM-"));
    QSet<QString> seen;
    const QFileInfoList stations
        = QDir(netFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    int folders = 0;
    for (const QFileInfo &station : stations) {
        if (!IsStationId(station.fileName()) || ++folders > 64)
            continue;
        const QFileInfoList files
            = QDir(station.filePath() + QStringLiteral("/sessions"))
                  .entryInfoList({ prefix + QStringLiteral("*.summary") }, QDir::Files, QDir::Name);
        for (const QFileInfo &file : files.mid(0, 2000)) {
            const QString named = station.fileName() + u'/' + file.fileName();
            const Result<QByteArray> bytes = ReadFileHead(file.filePath(), MaxSummaryFile + 1);
            Result<NetSessionSummary> summary = !bytes ? Result<NetSessionSummary>(bytes.status())
                : bytes->size() > MaxSummaryFile
                ? Result<NetSessionSummary>(Status::Error(QStringLiteral("TOO LARGE")))
                : DecodeSummary(*bytes);
            if (summary && (summary->date.year() != year || summary->date.month() != month))
                summary = Status::Error(QStringLiteral("NOT OF THIS MONTH"));
            if (!summary) {
                out.refused << named + QStringLiteral(": ") + summary.error();
                continue;
            }
            if (seen.contains(summary->id))
                continue;
            seen.insert(summary->id);
            out.sessions.append(summary.value());
        }
    }
    std::sort(out.sessions.begin(), out.sessions.end(),
        [](const NetSessionSummary &a, const NetSessionSummary &b) {
            return std::tie(a.date, a.start, a.id) < std::tie(b.date, b.start, b.id);
        });
    std::map<QString, NetControlMonth> byName;
    for (const NetSessionSummary &s : std::as_const(out.sessions)) {
        out.qni += s.qni;
        out.qtc += s.qtc;
        out.qtr += s.qtr;
        NetControlMonth &nc = byName[s.netControl];
        nc.netControl = s.netControl;
        ++nc.sessions;
        nc.qni += s.qni;
        nc.qtc += s.qtc;
        nc.qtr += s.qtr;
    }
    for (const auto &[name, nc] : byName)
        out.byNetControl.append(nc);
    return out;
}

QByteArray NetMonthCsv(const NetMonth &month)
{
    QByteArray csv = "date,start,end,net control,QNI,QTC,QTR,session\r\n";
    auto row = [&](const QStringList &fields) {
        QByteArrayList cells;
        for (const QString &field : fields)
            cells << CsvField(field);
        csv += cells.join(',') + "\r\n";
    };
    for (const NetSessionSummary &s : month.sessions) {
        row({ s.date.toString(Qt::ISODate), s.start, s.end, s.netControl, QString::number(s.qni),
            QString::number(s.qtc), QString::number(s.qtr), s.id });
    }
    row({ QStringLiteral("TOTAL"), QString(), QString(),
        QString::number(month.sessions.size()) + QStringLiteral(" SESSIONS"),
        QString::number(month.qni), QString::number(month.qtc), QString::number(month.qtr),
        QString() });
    return csv;
}
