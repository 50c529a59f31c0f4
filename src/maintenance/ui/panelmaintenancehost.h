#pragma once

#include "maintenance/ui/maintenancehost.h"

class CheckinPanel;
class CountyPanel;
class QAction;

// The member form's host in the main window: the member list of the county panel, the
// counters and status line of the check-in panel, and the roster's menu entry.
class PanelMaintenanceHost : public MaintenanceHost
{
public:
    PanelMaintenanceHost(Services &services, const CountyTable &table, NetSession &session,
        QWidget *window, CountyPanel &counties, CheckinPanel &checkin);

    Services &hostServices() override { return m_services; }
    const CountyTable &hostCountyTable() override { return m_table; }
    NetSession &hostSession() override { return m_session; }
    QWidget *hostWindow() override { return m_window; }
    void setStatusLine(const QString &text) override;
    void showCounters() override;
    void returnToCheckin() override;
    QListWidgetItem *selectedLine() override;
    int recordOf(QListWidgetItem *line) override;
    QListWidgetItem *lineOfRecord(int record) override;
    void appendLine(const QString &text, int record, const QString &call) override;
    void setRosterMenuEnabled(bool enabled) override;
    void memberListChanged() override;

    // Edit > Change Net Ctl/Mgr, which the form turns off while it asks about a member.
    void setRosterEntry(QAction *entry) { m_rosterEntry = entry; }

private:
    Services &m_services;
    const CountyTable &m_table;
    NetSession &m_session;
    QWidget *m_window;
    CountyPanel &m_counties;
    CheckinPanel &m_checkin;
    // Edit > Change Net Ctl/Mgr, off while the form asks about a member.
    QAction *m_rosterEntry = nullptr;
};
