#include "journalkeeper.h"

#include "maintenance/membereditor.h"
#include "platform/named.h"
#include "platform/services.h"
#include "reports/monthlytotals.h"
#include "session/netreport.h"
#include "session/sessionjournal.h"
#include "session/ui/checkinpanel.h"
#include "startup/startupcontext.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <utility>

namespace {

// A session in the monthly totals ended when its Exit was answered, whatever stopped the
// program after that: it becomes a log and is never offered (nor counted) again. One with
// nothing but its start has nothing to resume either.
bool Offered(const PendingSession &pending, const SettingsStore &settings)
{
    return pending.kind == PendingSession::Unfinished && pending.hasNetEvents
        && !SessionWasCounted(settings, CountedSessionId(pending.state));
}

bool AskToResume(Services &services, QWidget *parent, const PendingSession &pending)
{
    const SessionState &s = pending.state;
    QString question
        = QStringLiteral("THE SESSION OF %1 %2 (%3 CHECK INS) DID NOT END. RESUME IT?")
              .arg(ShortDate(s.start.date()), s.start.toString(QStringLiteral("HH:mm")),
                  QString::number(s.checkinCount()));
    // Lines of the journal that could not be taken: what they held is not brought back.
    if (!pending.skipped.isEmpty()) {
        question += QStringLiteral("\n\nJOURNAL LINES SKIPPED: %1\n").arg(pending.skippedLines)
            + pending.skipped.join(u'\n');
        if (pending.skippedLines > pending.skipped.size())
            question += QStringLiteral("\n... AND %1 MORE")
                            .arg(pending.skippedLines - pending.skipped.size());
    }
    return services.dialogs->message(
               parent, QStringLiteral("RESUME SESSION"), question, MsgIcon::Question, Yes | No, Yes)
        == Yes;
}

} // namespace

void AskToResumeFirst(Services &services, StartupContext &context)
{
    const PendingSession pending = ReadPendingSession(services.paths);
    if (Offered(pending, *services.settings))
        context.ResumeAnswer = AskToResume(services, nullptr, pending);
}

JournalKeeper::JournalKeeper(Services &services, StartupContext &context, NetSession &session,
    SessionJournal &journal, MemberEditor &editor, CheckinPanel &checkin, QMenu *fileMenu,
    QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_session(session)
    , m_journal(journal)
    , m_editor(editor)
    , m_checkin(checkin)
    , m_window(window)
{
    connect(
        Named(fileMenu->addAction(QStringLiteral("Save Check-in Log...")), "mnuFileSaveCheckinLog"),
        &QAction::triggered, this, &JournalKeeper::saveCheckinLog);
}

void JournalKeeper::journalFailed(const QString &error)
{
    showJournalMark(true);
    // Told after the outcome of the action that failed, which would overwrite it.
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            m_checkin.setStatusLine(QStringLiteral("SESSION JOURNAL NOT WRITTEN: ") + error);
            m_services.sounds->play(SoundName::Notify());
        },
        Qt::QueuedConnection);
}

void JournalKeeper::journalRecovered()
{
    showJournalMark(false);
}

void JournalKeeper::startJournal()
{
    m_journal.setWatcher(this);
    // Net reports half written when the program stopped.
    RemoveLeftoverTemporaries(m_services.paths.sessionsFolder());
    const PendingSession pending = ReadPendingSession(m_services.paths);
    std::optional<bool> answer = std::exchange(m_context.ResumeAnswer, std::nullopt);
    if (Offered(pending, *m_services.settings)) {
        // The question stands over the window of the net it concerns, not over a window the
        // desktop has not mapped yet.
        if (!answer && !m_window->isVisible())
            m_window->show();
        if (!answer)
            answer = AskToResume(m_services, m_window, pending);
        if (*answer) {
            const SessionState &s = pending.state;
            // Everything comes from the journal; only a write it announced last and may not
            // have reached its station file is finished (or taken back) as the file shows.
            m_session.restore(s);
            emit resuming(s);
            m_journal.resume(s);
            m_session.setEventSink(&m_journal);
            Status finished;
            if (const auto &last = pending.unconfirmed) {
                finished = last->kind == SessionEvent::Kind::NewMember
                    ? m_editor.finishInterruptedAdd(*last)
                    : m_session.finishInterrupted(*last);
            }
            m_checkin.showResumed(m_journal.state());
            if (!finished) {
                m_checkin.setStatusLine(
                    QStringLiteral("LAST CHANGE NOT FINISHED: ") + finished.error());
                m_services.sounds->play(SoundName::Notify());
            }
            return;
        }
    }
    // No, or nothing to resume: the unfinished session is kept as a log of its own, and a
    // fresh one starts.
    m_journal.begin(m_context.NetCtlName, m_context.NetCtlCall, QStringLiteral("EARLY"));
    m_session.setEventSink(&m_journal);
}

void JournalKeeper::showJournalMark(bool failing)
{
    // The status line is overwritten by the next call: while lines wait to be written, the
    // caption and the status line's colour keep saying so.
    const QString mark = QStringLiteral(" - JOURNAL NOT WRITTEN");
    const QString title = m_window->windowTitle().remove(mark);
    m_window->setWindowTitle(failing ? title + mark : title);
    m_checkin.markStatusLine(failing);
}

void JournalKeeper::finishJournal()
{
    if (!m_journal.isOpen())
        return;
    m_session.setEventSink(nullptr);
    const Result<QString> archived = m_journal.finish();
    if (!archived)
        m_services.dialogs->message(m_window, QStringLiteral("SESSION LOG"),
            QStringLiteral("THE SESSION LOG WAS NOT WRITTEN: ") + archived.error(),
            MsgIcon::Warning, Ok);
}

void JournalKeeper::saveCheckinLog()
{
    const SessionState &s = m_journal.state();
    const QDateTime start = s.started ? s.start : m_services.clock->now();
    const QString path
        = m_services.dialogs->chooseSaveFile(m_window, QStringLiteral("Save Check-in Log"),
            m_services.paths.root() + start.toString(QStringLiteral("yyyy-MM-dd-HHmm"))
                + QStringLiteral("-checkins.csv"),
            QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
        const Status saved = WriteFileAtomically(path, CheckinCsv(s));
        if (saved) {
            m_checkin.setStatusLine(QStringLiteral("CHECK-IN LOG SAVED: ") + path);
        } else {
            m_checkin.setStatusLine(QStringLiteral("CHECK-IN LOG NOT SAVED: ") + saved.error());
            m_services.sounds->play(SoundName::Notify());
        }
    }
    m_checkin.returnToCallsign();
}
