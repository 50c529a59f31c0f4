#pragma once

#include "roster/rosterhost.h"

#include <QObject>
#include <QPointer>

class FrmNetCtl;
class NetInfoFrame;
class NetSession;
class QLabel;
class QTimer;
class QWidget;
struct Services;
struct SessionState;
struct StartupContext;

// Tonight's net control and manager in NET INFO, the roster behind CHANGE and Edit > Change
// Net Ctl/Mgr, and the ID reminder: at the time to give the station's ID, a sound and the
// blinking ID TIME of the member form.
class NetControlPanel : public QObject, public RosterHost
{
    Q_OBJECT
public:
    // idTime is the ID TIME label that blinks; window the parent of the roster.
    NetControlPanel(Services &services, StartupContext &context, NetSession &session,
        NetInfoFrame &frame, QLabel *idTime, QWidget *window);

    // The net control and manager the start chose; the reminders run for the operator's own
    // net.
    void showTonight();
    // A resumed session's net control, when the operator had chosen one, with its reminders.
    void resumeNetControl(const SessionState &state);

    // CHANGE: the roster beside the net, which goes on; Edit > Change Net Ctl/Mgr: the
    // roster until it is closed.
    void openRoster();
    void openRosterModal();

    // RosterHost
    QString netManagerLabel() const override;
    void setNetControlLabel(const QString &text) override;
    void setNetManagerLabel(const QString &text) override;
    void netControlChosen(const QString &name, const QString &call, bool todaysRegular) override;
    void setIdReminderEnabled(bool enabled) override;
    void focusCheckinBox() override { emit done(); }

signals:
    // The caret goes back to CALLSIGN.
    void done();

private:
    void IDTimer_Timer();
    void Timer1_Timer();
    // Label4 and the CHANGE button as a roster choice leaves them.
    void showNetControlChoice(bool todaysRegular);

    Services &m_services;
    StartupContext &m_context;
    NetSession &m_session;
    NetInfoFrame &m_frame;
    QLabel *m_idTime;
    QWidget *m_window;
    QTimer *m_idTimer; // once a second: is it time for the ID?
    QTimer *m_blink; // ID TIME blinks while it runs
    QPointer<FrmNetCtl> m_roster;
    QString m_netManager; // as shown
};
