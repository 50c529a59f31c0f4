#include "panelmaintenancehost.h"

#include "session/ui/checkinpanel.h"
#include "session/ui/countypanel.h"

#include <QAction>

PanelMaintenanceHost::PanelMaintenanceHost(Services &services, const CountyTable &table,
    NetSession &session, QWidget *window, CountyPanel &counties, CheckinPanel &checkin)
    : m_services(services)
    , m_table(table)
    , m_session(session)
    , m_window(window)
    , m_counties(counties)
    , m_checkin(checkin)
{
}

void PanelMaintenanceHost::setStatusLine(const QString &text)
{
    m_checkin.setStatusLine(text);
}

void PanelMaintenanceHost::showCounters()
{
    m_checkin.updateCounters();
}

void PanelMaintenanceHost::returnToCheckin()
{
    m_checkin.returnToCallsign();
}

QListWidgetItem *PanelMaintenanceHost::selectedLine()
{
    return m_counties.selectedLine();
}

int PanelMaintenanceHost::recordOf(QListWidgetItem *line)
{
    return CountyPanel::recordOf(line);
}

QListWidgetItem *PanelMaintenanceHost::lineOfRecord(int record)
{
    return m_counties.lineOfRecord(record);
}

void PanelMaintenanceHost::appendLine(const QString &text, int record, const QString &call)
{
    m_counties.appendLine(text, record, call);
}

void PanelMaintenanceHost::setRosterMenuEnabled(bool enabled)
{
    if (m_rosterEntry)
        m_rosterEntry->setEnabled(enabled);
}

void PanelMaintenanceHost::memberListChanged()
{
    m_counties.showMemberList();
}
