#pragma once

#include "session/sessionjournal.h"

#include <QObject>

class CheckinPanel;
class MemberEditor;
class NetSession;
class QMenu;
class QWidget;
struct Services;
struct SessionState;
struct StartupContext;

// The window's side of the session journal: the resume of an interrupted session at load,
// the log at close, the journal mark while lines wait, and File > Save Check-in Log.
// Asks, when a session did not end, whether to resume it, and leaves the answer in the
// context for the main window; nothing else is read or written.
void AskToResumeFirst(Services &services, StartupContext &context);

class JournalKeeper : public QObject, public SessionJournal::Watcher
{
    Q_OBJECT
public:
    // Adds Save Check-in Log to the File menu; window asks the questions and carries the
    // mark in its caption.
    JournalKeeper(Services &services, StartupContext &context, NetSession &session,
        SessionJournal &journal, MemberEditor &editor, CheckinPanel &checkin, QMenu *fileMenu,
        QWidget *window);

    // Resumes the session an interrupted run left, when the operator says so, or starts a
    // fresh journal; and makes the ended session's log and net report.
    void startJournal();
    void finishJournal();
    void showJournalMark(bool failing);

    // File > Save Check-in Log.
    void saveCheckinLog();

    void journalFailed(const QString &error) override;
    void journalRecovered() override;

signals:
    // The operator resumed a session: its net control comes back, before the journal goes on.
    void resuming(const SessionState &state);

private:
    Services &m_services;
    StartupContext &m_context;
    NetSession &m_session;
    SessionJournal &m_journal;
    MemberEditor &m_editor;
    CheckinPanel &m_checkin;
    QWidget *m_window;
};
