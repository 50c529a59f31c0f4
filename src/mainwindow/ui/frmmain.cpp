#include "frmmain.h"

#include "appearance/ui/controllook.h"
#include "backup/ui/frmprocessdatafiles.h"
#include "licences/licencedatabase.h"
#include "licences/ui/callsignassist.h"
#include "maintenance/membereditor.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "maintenance/ui/memberinfoframe.h"
#include "maintenance/ui/membermaintenance.h"
#include "maintenance/ui/panelmaintenancehost.h"
#include "mainwindow/ui/optionsmenu.h"
#include "netshare/ui/netsharemenu.h"
#include "platform/services.h"
#include "printing/textprint.h"
#include "qrz/ui/nonlistedframe.h"
#include "reports/sessionend.h"
#include "roster/ui/netcontrolpanel.h"
#include "session/ui/checkinpanel.h"
#include "session/ui/countypanel.h"
#include "session/ui/journalkeeper.h"
#include "session/ui/netinfoframe.h"
#include "session/ui/preambleframe.h"
#include "startup/startupcontext.h"
#include "startup/ui/updatetraces.h"
#include "stationdb/settingsstore.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <utility>

namespace {

const QString kSettings = QStringLiteral("Settings");

QString EmptyDatabaseNotice()
{
    // Short enough for the status line at 1024x768.
    return QStringLiteral("NO STATION FILES YET - BRING IN YOUR NET MANAGER'S WITH FILE > "
                          "IMPORT STATION FILES...");
}

} // namespace

FrmMain::FrmMain(Services &services, StartupContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_context(context)
    , m_session(context.countyTable)
    , m_qrz(*services.settings, services.web.get())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("VORQ V1 B12"));
    buildControls();
    buildMenus();
    m_callAssist = new CallsignAssist(
        m_netInfo->callsignBox(), m_context.countyTable, LicenceDatabasePath(m_services.paths),
        m_services.paths.retiredStationsFile(), *m_services.clock,
        [this](const QString &call, const QString &insteadOf) { checkInInstead(call, insteadOf); },
        [this](const QString &text) { setStatusLine(text); });
    connect(m_callAssist, &CallsignAssist::archivedChosen, this, &FrmMain::restoreArchived);
    m_nonListed->setOfflineSource(m_callAssist);
    connect(m_maintenance, &MemberMaintenance::addCallTyped, m_nonListed,
        &NonListedFrame::lookUpTypedCall);
    Form_Load();
    m_netShare->start();
    if (const QString age = m_callAssist->ageNotice();
        !age.isEmpty() && m_checkin->statusLineEmpty())
        setStatusLine(age);
}

void FrmMain::checkInInstead(const QString &call, const QString &insteadOf)
{
    m_checkin->checkInCall(call);
    // The call typed was that member's only once the member stands checked in (a county
    // shown takes no typed check-in).
    if (!insteadOf.isEmpty() && m_session.checkins().find(call, CheckinTable::Last) > 0) {
        m_session.withdrawNonListed(insteadOf);
        m_checkin->updateCounters();
    }
}

void FrmMain::followNetChanges(const QStringList &files)
{
    const QString shown = m_session.currentCountyFile();
    if (!m_session.earlyLateMode() && !shown.isEmpty()
        && files.contains(QFileInfo(shown).fileName()))
        m_counties->showCountyAgain();
}

void FrmMain::restoreArchived(const ArchivedStation &archived)
{
    MemberEditor editor(m_session, m_context.countyTable, *m_services.settings);
    const EditorOutcome out = editor.restoreArchived(archived, m_services.clock->today());
    const QString call = archived.station.Call.trimmed();
    if (out.failed) {
        setStatusLine(out.status.value_or(QString()));
        m_services.sounds->play(out.sound);
        return;
    }
    m_deleted->dropRestored();
    if (m_session.earlyLateMode()) {
        checkInInstead(call, call);
    } else {
        // A county shown takes no typed check-in: it lists the station again, to be clicked.
        m_counties->showCountyAgain();
        setStatusLine(out.status.value_or(QString()));
    }
}

FrmMain::~FrmMain()
{
    // The member form's handlers must not see the focus moves of a window half torn down.
    m_nonListed->setMaintenance(nullptr);
    delete m_maintenance;
    m_maintenance = nullptr;
}

void FrmMain::Form_Load()
{
    SettingsStore &settings = *m_services.settings;
    CountyTable &table = m_context.countyTable;

    // The window takes most of the screen and centres itself on it.
    const QSize screen(
        m_context.ScreenWidth > 0 ? m_context.ScreenWidth : m_services.screen->size().width(),
        m_context.ScreenHeight > 0 ? m_context.ScreenHeight : m_services.screen->size().height());
    resize(int(screen.width() * 0.95), int(screen.height() * 0.9));
    m_designHeight = height();

    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        table.FillDisplayName(p);
    const CountyPanel::Filled filled = m_counties->fill(table);

    SetCapsLock(*m_services.keyboard, true);
    SetNumLock(*m_services.keyboard, false);
    m_checkin->updateCounters();

    ShowDatabaseCaption(
        this, m_services, m_context, [this](const QString &text) { setStatusLine(text); });
    m_journalKeeper->showJournalMark(m_journal.writeFailing());
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    m_editEntry->setEnabled(false);
    m_deleteEntry->setEnabled(false);

    const bool firstRun
        = settings.get(QStringLiteral("First"), QStringLiteral("Firstime")).isEmpty();
    m_firstRunOpen = firstRun;
    if (!firstRun) {
        m_format->applySavedAppearance();
        // A PDF made without a printer uses the stored printer font as well.
        ApplyStoredPrinterFont(settings, *m_services.printer);
        // What the last unload left behind goes, in one write.
        QList<SettingChange> leftovers;
        if (!settings.get(kSettings, QStringLiteral("Top")).isEmpty()) {
            for (const char *key : { "Top", "Height", "Left", "Width" })
                leftovers << SettingChange::Delete(kSettings, QString::fromLatin1(key));
        }
        if (!settings.get(kSettings, QStringLiteral("Ding")).isEmpty())
            leftovers << SettingChange::Delete(kSettings, QStringLiteral("Ding"));
        if (const Status removed = settings.saveAll(leftovers); !removed)
            m_loadFailures << removed.error();
        if (const QString failed = m_options->applyStored(); !failed.isEmpty())
            m_loadFailures << failed;
    } else if (const QString failed = m_format->storeDesignFaces(); !failed.isEmpty()) {
        m_loadFailures << failed;
    }
    m_netControl->showTonight();
    m_netShown = true;
    const QString preambleNotice = m_preamble->load(m_context.UserDataFolder);

    ArrangeMainWindow();

    m_counties->showFirstEntry();
    QStringList notices;
    if (const QString notice = m_session.takeUnreadableNotice(filled.unreadable); !notice.isEmpty())
        notices << notice;
    if (!preambleNotice.isEmpty())
        notices << preambleNotice;
    // Told now rather than only at Exit, when a night's choices would be lost already; the
    // load's own failed saves say the same again and are left out then.
    if (const QString readOnly = settings.readOnlyFile(SettingsStore::App()); !readOnly.isEmpty())
        notices << QStringLiteral("SETTINGS ARE READ-ONLY: ") + readOnly
                + QStringLiteral(" - CHANGES WILL NOT BE SAVED");
    else if (!m_loadFailures.isEmpty())
        notices << QStringLiteral("SETTINGS NOT SAVED: ")
                + m_loadFailures.join(QStringLiteral("; "));
    if (!notices.isEmpty()) {
        setStatusLine(notices.join(QStringLiteral(" - ")));
        m_services.sounds->play(SoundName::Notify());
    } else if (filled.counties == 0) {
        // No station file holds a member yet.
        setStatusLine(EmptyDatabaseNotice());
    }
    m_journalKeeper->startJournal();
}

void FrmMain::ErrorHandler(const QString &description)
{
    const SessionEnd end = ErrorHandlerDialogue(m_services, this, description,
        m_session.checkinCount(), m_session.traffic(), CountedSessionId(m_journal.state()));
    if (end == SessionEnd::Cancelled)
        return;
    // The program ends; the question has been asked already. A saved session keeps the
    // appearance too; No leaves everything as it was.
    if (end == SessionEnd::Saved)
        (void)m_format->saveAppearance(false, m_options->dingDisabled());
    m_ending = true;
    m_closeQuietly = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void FrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A net run once shows no first-start windows again, even when it never reached Exit:
    // after a stop the operator wants the net back, not the instructions. The look goes
    // with the mark, as Exit would store it, so the next start looks like this one.
    if (std::exchange(m_firstRunOpen, false)) {
        const Status saved = m_services.settings->saveAll(
            m_format->appearanceChanges(true, m_options->dingDisabled()));
        if (!saved)
            setStatusLine(QStringLiteral("SETTINGS NOT SAVED: ") + saved.error());
    }
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // However the window is closed, a night's totals are never dropped without the question.
    if (!m_ending) {
        const SessionEnd end = EndSession(m_services, this, m_session.checkinCount(),
            m_session.traffic(), CountedSessionId(m_journal.state()));
        if (end == SessionEnd::Cancelled) {
            event->ignore();
            returnToCheckin();
            return;
        }
        m_ending = true;
    }
    m_journalKeeper->finishJournal();
    m_netShare->share().publishNow();
    // A window closed before its net control and manager were shown (a load that stopped)
    // leaves everything as it was.
    if (!m_closeQuietly && m_netShown) {
        (void)m_format->saveAppearance(true, m_options->dingDisabled());
        CleanUpUpdateFolder(m_services);
        // A copy of the station files on another drive, offered while nothing writes them.
        if (m_services.dialogs->message(this, QStringLiteral("BACKUP/RESTORE DATA FILES"),
                QStringLiteral("Do You Want To Process Your Data Files?"), MsgIcon::Warning,
                Yes | No, No)
            == Yes) {
            FrmProcessDataFiles files(m_services, m_context, this);
            m_services.dialogs->execModal(&files);
        }
    }
    SetCapsLock(*m_services.keyboard, false);
    event->accept();
}

void FrmMain::countyShown(const CountyChoice &choice, bool byKey)
{
    if (!m_session.earlyLateMode())
        m_checkin->announce(QStringLiteral("%1, %2").arg(choice.caption).arg(choice.lines.size()));
    if (m_deleted->addRetired(choice.retired, choice.retiredIds))
        ArrangeMainWindow(); // the rows' height is known now
    if (!byKey)
        returnToCheckin();
}

void FrmMain::memberMenu(const QPoint &position)
{
    if (!m_counties->offersMemberMenu())
        return;
    m_rosterEntry->setEnabled(false);
    m_services.dialogs->popupMenu(m_editMenu, position);
    m_rosterEntry->setEnabled(true);
    m_maintenance->focusAfterListClick();
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    // An Alt key that names no menu or button does nothing: it never types its letter.
    if (qobject_cast<QLineEdit *>(watched) && (key->modifiers() & Qt::AltModifier))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::setStatusLine(const QString &text)
{
    m_checkin->setStatusLine(text);
}

void FrmMain::returnToCheckin()
{
    m_checkin->returnToCallsign();
}
