#pragma once

#include "monthlytotals.h"
#include "platform/services.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The month and year the monthly report names. The main window keeps one for the whole run,
// so a month chosen in the report window is still chosen when the window is opened again.
struct ReportPeriod
{
    // Today's month name at first ("March"); a chosen month in capitals ("DECEMBER").
    QString MonthName;
    // 1 when December was chosen: a December report is written in the new year.
    int YearsBack = 0;
};

ReportPeriod InitialReportPeriod(const QDate &today);
// month 1 to 12, as picked in the month window.
void ChooseReportMonth(ReportPeriod &period, int month);
// Four digits. Worked out from today's year at each use, so choosing December again (or
// keeping the window open over New Year) never moves the year further back.
QString ReportYear(const ReportPeriod &period, const QDate &today);

enum class ReportAction { Copy, Print };
// The question asked before a report leaves the program (the two wordings differ in case).
QString MonthCheckQuestion(ReportAction action, const QString &monthName);

struct MonthlyReportText
{
    QString subject;
    QString body;
    QString clipboard;
};

QString ReportSubject(const QString &monthName, const QString &year);
// Lines end in CR LF, as mail programs expect them.
MonthlyReportText BuildMonthlyReportText(const MonthlyTotals &totals, const QStringList &newMembers,
    const QString &monthName, const QString &year);
// The printed page, one entry per printed line.
QList<QList<PrintCell>> MonthlyReportPrintLines(const MonthlyTotals &totals,
    const QStringList &newMembers, const QString &monthName, const QString &year);

// Captions shared by the report window and its printout.
namespace ReportCaptions {
inline QString Sessions()
{
    return QStringLiteral("SESSIONS CALLED:");
}
inline QString Checkins()
{
    return QStringLiteral("TOTAL CHECKINS:");
}
inline QString Traffic()
{
    return QStringLiteral("TRAFFIC COUNT:");
}
} // namespace ReportCaptions

// The one message for a print that did not reach the printer.
inline QString PrinterErrorText()
{
    return QStringLiteral("PRINTER ERROR - FIX PROBLEM AND TRY AGAIN!");
}
