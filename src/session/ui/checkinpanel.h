#pragma once

#include <QObject>
#include <QString>

class CountyPanel;
class NetInfoFrame;
class NetSession;
class QListWidget;
class QListWidgetItem;
class SessionJournal;
struct Services;
struct SessionOutcome;
struct SessionState;

// CALLSIGN with the status line and the two counters: a typed check-in, traffic counted
// against the selected station, a check-in taken back, and how each answer of the session
// shows on the lists.
class CheckinPanel : public QObject
{
    Q_OBJECT
public:
    // nonListed is the NON LISTED STATIONS list, where a call no member holds is added.
    CheckinPanel(Services &services, NetSession &session, const SessionJournal &journal,
        NetInfoFrame &frame, CountyPanel &counties, QListWidget *nonListed, QObject *parent);

    void txtChkin_KeyDown();
    // A press on TRAFFIC (and Edit > Add Traffic, Remove Traffic): the right button takes
    // one back.
    void lblTraffic_MouseDown(Qt::MouseButton button);
    void mnuEditDeleteCheckin_Click();

    // Shows an outcome of the session core: the status line, the lists, the sound, the
    // counters.
    void showOutcome(const SessionOutcome &outcome, QListWidgetItem *item = nullptr);
    // The lists and counters of a session the journal brought back.
    void showResumed(const SessionState &state);
    void updateCounters();
    // The status line's text, told to a screen reader as well.
    void setStatusLine(const QString &text);
    // Tells a screen reader without showing anything.
    void announce(const QString &text);
    QString statusLine() const;
    // The status line on yellow while journal lines wait to be written.
    void markStatusLine(bool failing);
    // The caret back to CALLSIGN.
    void Change_Caret();

    // The session's figures as the counters show them.

signals:
    // A typed call is no member's: its line in NON LISTED STATIONS has just been added.
    void notFound(const QString &call, QListWidgetItem *line);

private:
    void nameCounters();

    // The station of the selected line when it is checked in; empty otherwise.
    QString selectedCheckinCall();

    Services &m_services;
    NetSession &m_session;
    const SessionJournal &m_journal;
    NetInfoFrame &m_frame;
    CountyPanel &m_counties;
    QListWidget *m_nonListed;
};
