#pragma once

#include "reports/reporttext.h"

#include <QObject>
#include <QPointer>

class FrmReport;
class FrmSessionLogs;
class QMenu;
class QWidget;
struct Services;
struct StartupContext;

// The Reports menu: the monthly report, the report editor and the past sessions' logs.
class ReportsMenu : public QObject
{
    Q_OBJECT
public:
    // Fills the menu; the report's period starts from today.
    ReportsMenu(Services &services, StartupContext &context, QMenu *menu, QWidget *window);

private:
    Services &m_services;
    StartupContext &m_context;
    QWidget *m_window;
    ReportPeriod m_reportPeriod; // the month the report window shows, kept between openings
    QPointer<FrmReport> m_report;
    QPointer<FrmSessionLogs> m_sessionLogs;

    void mnuReportsMonthly_Click();
    void mnuReportEditor_Click();
    void mnuReportsSessionLogs_Click();
};
