#include "reportsmenu.h"

#include "platform/named.h"
#include "platform/services.h"
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
    auto entry
        = [this, menu](const char *name, const QString &caption, void (ReportsMenu::*handler)()) {
              connect(Named(menu->addAction(caption), name), &QAction::triggered, this, handler);
          };
    entry("mnuReportsMonthly", QStringLiteral("&Monthly Report"),
        &ReportsMenu::mnuReportsMonthly_Click);
    entry("mnuReportEditor", QStringLiteral("&Report Editor"), &ReportsMenu::mnuReportEditor_Click);
    entry("mnuReportsSessionLogs", QStringLiteral("Session Logs"),
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
