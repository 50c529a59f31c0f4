#include "reporttext.h"

#include "stationdb/textforms.h"

namespace {

constexpr int HeadingColumn = 30;
const QString CrLf = QStringLiteral("\r\n");

} // namespace

ReportPeriod InitialReportPeriod(const QDate &today)
{
    return ReportPeriod { EnglishMonthName(today.month()), 0 };
}

void ChooseReportMonth(ReportPeriod &period, int month)
{
    if (month < 1 || month > 12)
        return;
    period.MonthName = EnglishMonthName(month).toUpper();
    period.YearsBack = month == 12 ? 1 : 0;
}

QString ReportYear(const ReportPeriod &period, const QDate &today)
{
    return QStringLiteral("%1").arg(today.year() - period.YearsBack, 4, 10, QLatin1Char('0'));
}

QString MonthCheckQuestion(ReportAction action, const QString &monthName)
{
    const QString start = action == ReportAction::Copy
        ? QStringLiteral("This Net Report is for the Month of ")
        : QStringLiteral("This Net Report is for the month of ");
    return start + monthName + QStringLiteral(" Is this correct?");
}

QString ReportSubject(const QString &monthName, const QString &year)
{
    return QStringLiteral("TASKORA SECTION PHONE NET REPORT FOR ") + monthName + u' ' + year;
}

MonthlyReportText BuildMonthlyReportText(const MonthlyTotals &totals, const QStringList &newMembers,
    const QString &monthName, const QString &year)
{
    QString memberList;
    for (const QString &member : newMembers)
        memberList += member + CrLf;

    MonthlyReportText report;
    report.subject = ReportSubject(monthName, year);
    report.body = QStringLiteral("SESSIONS CALLED: ") + QString::number(totals.Sessions) + CrLf
        + QStringLiteral("TOTAL CHECKINS: ") + QString::number(totals.Checkins) + CrLf
        + QStringLiteral("TRAFFIC COUNT: ") + QString::number(totals.Traffic) + CrLf + CrLf
        + QStringLiteral("NEW CHECKINS") + CrLf + CrLf + memberList + CrLf
        + QStringLiteral("THIS NET REPORT WAS SENT VIA THE VORQ Vx PROGRAM");
    report.clipboard = report.subject + CrLf + CrLf + report.body;
    return report;
}

QList<QList<PrintCell>> MonthlyReportPrintLines(const MonthlyTotals &totals,
    const QStringList &newMembers, const QString &monthName, const QString &year)
{
    const QList<PrintCell> empty;
    auto at = [](int column, const QString &text) { return QList<PrintCell> { { column, text } }; };

    QList<QList<PrintCell>> lines { empty, empty, empty };
    lines << at(HeadingColumn, ReportSubject(monthName, year)) << empty;
    // The captions and figures touch on paper, as they always have.
    lines << at(0, ReportCaptions::Sessions() + QString::number(totals.Sessions));
    lines << at(0, ReportCaptions::Checkins() + QString::number(totals.Checkins));
    lines << at(0, ReportCaptions::Traffic() + QString::number(totals.Traffic));
    lines << empty << empty;
    lines << at(HeadingColumn, QStringLiteral("NEW CHECKINS ADDED THIS MONTH")) << empty;
    for (const QString &member : newMembers)
        lines << at(HeadingColumn, member);
    return lines;
}
