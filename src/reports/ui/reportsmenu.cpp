#include "reportsmenu.h"

#include "platform/services.h"
#include "platform/ui/menuentry.h"
#include "platform/ui/onewindow.h"
#include "reports/ui/frmreport.h"
#include "reports/ui/frmreporteditor.h"
#include "reports/ui/frmsessionlogs.h"

#include <QAction>
#include <QMenu>

ReportsMenu::ReportsMenu(Services &services, StartupContext &context, QMenu *menu, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_window(window)
    , m_reportPeriod(InitialReportPeriod(services.clock->today()))
{
    AddEntry(menu, "mnuReportsMonthly", QStringLiteral("&Monthly Report"), this,
        &ReportsMenu::mnuReportsMonthly_Click);
    AddEntry(menu, "mnuReportEditor", QStringLiteral("&Report Editor"), this,
        &ReportsMenu::mnuReportEditor_Click);
    AddEntry(menu, "mnuReportsSessionLogs", QStringLiteral("Session Logs"), this,
        &ReportsMenu::mnuReportsSessionLogs_Click);
}

void ReportsMenu::mnuReportsMonthly_Click()
{
    OneWindow(m_report,
        [this] { return new FrmReport(m_services, m_context, m_reportPeriod, m_window); });
}

void ReportsMenu::mnuReportEditor_Click()
{
    frmReportEditor editor(m_services, m_context, m_window);
    m_services.dialogs->execModal(&editor);
}

void ReportsMenu::mnuReportsSessionLogs_Click()
{
    OneWindow(m_sessionLogs, [this] { return new FrmSessionLogs(m_services, m_window); });
}
