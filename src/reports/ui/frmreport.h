#pragma once

#include "reports/monthlytotals.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
struct ReportPeriod;
struct Services;
struct StartupContext;

// "VOQR MONTHLY REPORT": the month's totals and new stations, copied to the clipboard or
// printed as the net's monthly report, and reset for a new month. Not modal: the main window
// shows it and keeps the run's ReportPeriod.
class FrmReport : public QDialog
{
    Q_OBJECT

public:
    FrmReport(Services &services, StartupContext &context, ReportPeriod &period,
        QWidget *parent = nullptr);

private:
    void Form_Load();
    // Prints the report, or writes it into the PDF file when one is given.
    void printReport(const QString &pdfFile);
    void CmdCopy_Click();
    void cmdPrint_Click();
    void cmdPdf_Click();
    void cmdReset_Click();
    void cmdClose_Click();
    // Asks whether the report's month is right; No lets the operator pick another.
    void MonthCheck(const QString &question);
    void showTotals();

    Services &m_services;
    StartupContext &m_context;
    ReportPeriod &m_period;
    MonthlyTotals m_totals;

    QLabel *lblSessions, *lblSC;
    QLabel *Label1, *lblTchkin;
    QLabel *Label2, *lblTC;
    QLabel *lblAdditions;
    QListWidget *LstNewMem;
    QPushButton *cmdPrint, *cmdPdf, *CmdCopy, *cmdReset, *cmdClose;
};
