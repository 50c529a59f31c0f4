#pragma once

#include <QObject>
#include <QString>

class CountyPanel;
class NetInfoFrame;
class NetSession;
class QListWidget;
class QListWidgetItem;
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
    CheckinPanel(Services &services, NetSession &session, NetInfoFrame &frame,
        CountyPanel &counties, QListWidget *nonListed, QObject *parent);

    // A call checked in as if typed into CALLSIGN (Enter there, Ctrl+Enter's choice).
    void checkInCall(const QString &call);
    // One message more (step 1: a press on TRAFFIC, Edit > Add Traffic) or one taken back
    // (-1: the right button, Remove Traffic), against the selected station when checked in.
    void countTraffic(int step);
    // Edit > Delete Checkin: the selected line's check-in taken back.
    void deleteSelectedCheckin();

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
    bool statusLineEmpty() const { return m_status.isEmpty(); }
    // The status line on yellow while journal lines wait to be written.
    void markStatusLine(bool failing);
    // The caret back to CALLSIGN.
    void returnToCallsign();

signals:
    // A typed call is no member's: its line in NON LISTED STATIONS has just been added;
    // notice is what the status line tells after the call's own words.
    void notFound(const QString &call, const QString &notice, QListWidgetItem *line);

private:
    void nameCounters();

    // The station of the selected line when it is checked in; empty otherwise.
    QString selectedCheckinCall();

    Services &m_services;
    NetSession &m_session;
    NetInfoFrame &m_frame;
    CountyPanel &m_counties;
    QListWidget *m_nonListed;
    QString m_status; // as last shown
    QString m_trafficCaption = QStringLiteral("0"); // "0" until traffic is first counted
};
