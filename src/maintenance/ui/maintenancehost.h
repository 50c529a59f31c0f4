#pragma once

#include <QString>

class QListWidgetItem;
class QWidget;
class CountyTable;
class MemberInfoFrame;
class NetSession;
struct Services;
struct SessionOutcome;

// What the member form needs of the main window: its session, its member list and its
// status line. The form never sees the window itself.
class MaintenanceHost
{
public:
    virtual ~MaintenanceHost() = default;
    virtual Services &hostServices() = 0;
    virtual const CountyTable &hostCountyTable() = 0;
    virtual NetSession &hostSession() = 0;
    virtual QWidget *hostWindow() = 0;
    virtual void setStatusLine(const QString &text) = 0;
    // Shows the session's counters (after a change of the check-in table).
    virtual void showCounters() = 0;
    // The caret back to the check-in box.
    virtual void returnToCheckin() = 0;
    // The selected line of the member list, and the record it stands for (0 for a line
    // that is no member line of a county view).
    virtual QListWidgetItem *selectedLine() = 0;
    virtual int recordOf(QListWidgetItem *line) = 0;
    // The line of a record of the county shown, if it is in the list.
    virtual QListWidgetItem *lineOfRecord(int record) = 0;
    // A line for the list; a record above 0 makes it the member line of that record of the
    // county shown, checked in.
    virtual void appendLine(const QString &text, int record, const QString &call) = 0;
    virtual void setRosterMenuEnabled(bool enabled) = 0;
    // The member list's lines were changed, removed or added: it is shown as it is now.
    virtual void memberListChanged() = 0;
};
