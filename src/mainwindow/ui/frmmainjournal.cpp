// The main window's side of the session journal: the resume at load, the log at close, the
// check-in log and the session logs window. The journal itself is core (sessionjournal.h).

#include "frmmain.h"

#include "maintenance/ui/membermaintenance.h"
#include "platform/services.h"
#include "qrz/ui/nonlistedframe.h"
#include "reports/monthlytotals.h"
#include "reports/ui/frmsessionlogs.h"
#include "roster/rosterschedule.h"
#include "session/netreport.h"
#include "session/ui/countypanel.h"
#include "session/ui/netinfoframe.h"
#include "startup/startupcontext.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QLabel>
#include <QListWidget>

void FrmMain::startJournal()
{
    m_journal.writeFailed = [this](const QString &error) {
        showJournalMark(true);
        // Told after the outcome of the action that failed, which would overwrite it.
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                setStatusLine(QStringLiteral("SESSION JOURNAL NOT WRITTEN: ") + error);
                m_services.sounds->play(SoundName::Notify());
            },
            Qt::QueuedConnection);
    };
    m_journal.writeRecovered = [this] { showJournalMark(false); };
    // Net reports half written when the program stopped.
    RemoveLeftoverTemporaries(m_services.paths.sessionsFolder());
    const PendingSession pending = ReadPendingSession(m_services.paths);
    // A session in the monthly totals ended when its Exit was answered, whatever stopped
    // the program after that: it becomes a log and is never offered (nor counted) again.
    // One with nothing but its start has nothing to resume either.
    if (pending.kind == PendingSession::Unfinished && pending.hasNetEvents
        && !SessionWasCounted(*m_services.settings, CountedSessionId(pending.state))) {
        const SessionState &s = pending.state;
        const QString question
            = QStringLiteral("THE SESSION OF %1 %2 (%3 CHECK INS) DID NOT END. RESUME IT?")
                  .arg(ShortDate(s.start.date()), s.start.toString(QStringLiteral("HH:mm")),
                      QString::number(s.checkinCount()));
        // The question stands over the window of the net it concerns, not over a window the
        // desktop has not mapped yet.
        if (!isVisible())
            show();
        if (m_services.dialogs->message(
                this, QStringLiteral("RESUME SESSION"), question, MsgIcon::Question, Yes | No, Yes)
            == Yes) {
            // Everything comes from the journal; only a write it announced last and may not
            // have reached its station file is finished (or taken back) as the file shows.
            m_session.restore(s);
            resumeNetControl(s);
            m_journal.resume(s);
            m_session.setEventSink(&m_journal);
            Status finished;
            if (const auto &last = pending.unconfirmed) {
                finished = last->kind == SessionEvent::Kind::NewMember
                    ? m_maintenance->editor().finishInterruptedAdd(*last)
                    : m_session.finishInterrupted(*last);
            }
            const SessionState &now = m_journal.state();
            lst1->clear();
            lst1->addItems(now.checkinLines());
            m_counties->showMemberList();
            m_nonListed->list()->clear();
            m_nonListed->list()->addItems(now.nonListed);
            updateCounters();
            lblTraffic()->setText(
                now.trafficCounted ? TrafficCaption(now.traffic) : QStringLiteral("0"));
            if (!finished) {
                setStatusLine(QStringLiteral("LAST CHANGE NOT FINISHED: ") + finished.error());
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

void FrmMain::resumeNetControl(const SessionState &s)
{
    if (!s.netControlChanged)
        return; // the roster's net control, as the load has shown it
    const QString label = NetInfoLabel(s.netControlName, s.netControlCall);
    lblNetCtl()->setText(label);
    showNetControlChoice(!s.alternateNetControl);
    setIdReminderEnabled(IdReminderFor(
        label, m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("User Name"))));
}

void FrmMain::showJournalMark(bool failing)
{
    // The status line is overwritten by the next call: while lines wait to be written, the
    // caption and the status line's colour keep saying so.
    const QString mark = QStringLiteral(" - JOURNAL NOT WRITTEN");
    const QString title = windowTitle().remove(mark);
    setWindowTitle(failing ? title + mark : title);
    lblStatus()->setStyleSheet(failing
            ? QStringLiteral("color: red; font-weight: bold; background-color: yellow;")
            : QStringLiteral("color: red; font-weight: bold;"));
}

void FrmMain::finishJournal()
{
    if (!m_journal.isOpen())
        return;
    m_session.setEventSink(nullptr);
    const Result<QString> archived = m_journal.finish();
    if (!archived)
        m_services.dialogs->message(this, QStringLiteral("SESSION LOG"),
            QStringLiteral("THE SESSION LOG WAS NOT WRITTEN: ") + archived.error(),
            MsgIcon::Warning, Ok);
}

void FrmMain::mnuFileSaveCheckinLog_Click()
{
    const SessionState &s = m_journal.state();
    const QDateTime start = s.started ? s.start : m_services.clock->now();
    const QString path
        = m_services.dialogs->chooseSaveFile(this, QStringLiteral("Save Check-in Log"),
            m_services.paths.root() + start.toString(QStringLiteral("yyyy-MM-dd-HHmm"))
                + QStringLiteral("-checkins.csv"),
            QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
        const Status saved = WriteFileAtomically(path, CheckinCsv(s));
        if (saved) {
            setStatusLine(QStringLiteral("CHECK-IN LOG SAVED: ") + path);
        } else {
            setStatusLine(QStringLiteral("CHECK-IN LOG NOT SAVED: ") + saved.error());
            m_services.sounds->play(SoundName::Notify());
        }
    }
    Change_Caret();
}

void FrmMain::mnuReportsSessionLogs_Click()
{
    if (!m_sessionLogs) {
        m_sessionLogs = new FrmSessionLogs(m_services, this);
        m_sessionLogs->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_sessionLogs->show();
    m_sessionLogs->raise();
    m_sessionLogs->activateWindow();
}
