#include "frmmain.h"

#include "appearance/appearance.h"
#include "appearance/mainlayout.h"
#include "appearance/ui/controllook.h"
#include "backup/ui/frmprocessdatafiles.h"
#include "licences/licencedatabase.h"
#include "licences/ui/callsignassist.h"
#include "maintenance/membereditor.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "maintenance/ui/memberinfoframe.h"
#include "maintenance/ui/membermaintenance.h"
#include "platform/services.h"
#include "printing/textprint.h"
#include "qrz/ui/frmqrz.h"
#include "qrz/ui/nonlistedframe.h"
#include "reports/sessionend.h"
#include "reports/ui/frmreport.h"
#include "reports/ui/frmreporteditor.h"
#include "roster/ui/frmnetctl.h"
#include "session/idreminder.h"
#include "session/memberline.h"
#include "session/ui/countypanel.h"
#include "session/ui/netinfoframe.h"
#include "startup/startupcontext.h"
#include "startup/ui/frmabout.h"
#include "startup/ui/frminstr.h"
#include "startup/updatecheck.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/supporttext.h"
#include "stationdb/textforms.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

Q_LOGGING_CATEGORY(lcSession, "vorq.session")

namespace {

// The item data role under which a member line keeps its record number.

const QString kOptions = QStringLiteral("Options");
const QString kSettings = QStringLiteral("Settings");
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

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
    popupMenu = [](QMenu *menu, const QPoint &at) { menu->exec(at); };
    buildControls();
    buildMenus();
    m_maintenance = new MemberMaintenance(*this, *fraAdd);
    m_nonListed->setMaintenance(m_maintenance);
    connect(mnuEditEdit, &QAction::triggered, m_maintenance, &MemberMaintenance::mnuEditEdit_Click);
    connect(
        mnuEditDelete, &QAction::triggered, m_maintenance, &MemberMaintenance::mnuEditDelete_Click);
    connect(mnuChgCall, &QAction::triggered, m_maintenance, &MemberMaintenance::mnuChgCall_Click);
    connect(mnuEditAddMember, &QAction::triggered, m_maintenance,
        &MemberMaintenance::mnuEditAddMember_Click);
    mnuChgCall->setEnabled(true);
    m_look = std::make_unique<ControlLook>(centralWidget());
    // The numbers the operator glances at all night never shrink with the window.
    m_look->keepAtLeastDesignSize({ QStringLiteral("lblChkins"), QStringLiteral("lblTraffic") });
    m_format = new FormatMenu(*this, *m_look, m_services, m_context, mnuFormat, this);
    m_callAssist = new CallsignAssist(
        txtChkin(), m_context.countyTable, LicenceDatabasePath(m_services.paths), *m_services.clock,
        [this](const QString &call) {
            txtChkin()->setText(call);
            txtChkin_KeyDown();
        },
        [this](const QString &text) { setStatusLine(text); });
    m_nonListed->fillFromOffline = [this](const QString &call) {
        return m_callAssist->fillMemberForm(call, fraAdd->txtName, fraAdd->txtCS);
    };
    m_nonListed->knowsOffline
        = [this](const QString &call) { return m_callAssist->hasLicence(call); };
    Form_Load();
    if (const QString age = m_callAssist->ageNotice();
        !age.isEmpty() && lblStatus()->text().isEmpty())
        setStatusLine(age);
}

FrmMain::~FrmMain()
{
    // The member form's handlers must not see the focus moves of a window half torn down.
    m_nonListed->setMaintenance(nullptr);
    delete m_maintenance;
    m_maintenance = nullptr;
}

QLineEdit *FrmMain::txtChkin() const
{
    return fraFormData->txtChkin;
}
QLabel *FrmMain::lblStatus() const
{
    return fraFormData->lblStatus;
}
QLabel *FrmMain::lblChkins() const
{
    return fraFormData->lblChkins;
}
PressLabel *FrmMain::lblTraffic() const
{
    return fraFormData->lblTraffic;
}
QLabel *FrmMain::lblNetCtl() const
{
    return fraFormData->lblNetCtl;
}
QLabel *FrmMain::lblNetMgr() const
{
    return fraFormData->lblNetMgr;
}
QLabel *FrmMain::Label4() const
{
    return fraFormData->Label4;
}
QPushButton *FrmMain::CmdChange() const
{
    return fraFormData->CmdChange;
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
    const QStringList unreadable = m_counties->fill(table);

    SetCapsLock(*m_services.keyboard, true);
    SetNumLock(*m_services.keyboard, false);
    updateCounters();
    lblTraffic()->setText(QStringLiteral("0"));

    setCaption();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    mnuEditEdit->setEnabled(false);
    mnuEditDelete->setEnabled(false);

    const QString dst = settings.get(kSettings, QStringLiteral("DST"));
    m_dst = !dst.isEmpty() && dst.compare(kTrue, Qt::CaseInsensitive) == 0;

    const bool firstRun
        = settings.get(QStringLiteral("First"), QStringLiteral("Firstime")).isEmpty();
    // Without a printer there is nothing to print on; Save as PDF stays.
    const bool printer = m_services.printer->count() > 0;
    mnuFilePrint->setEnabled(printer);
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
        applyOptions();
    }

    lblNetMgr()->setText(m_context.NetMgrName + QStringLiteral("   ") + m_context.NetMgrCall);
    lblNetCtl()->setText(m_context.NetCtlName + QStringLiteral("   ") + m_context.NetCtlCall);
    if (firstRun) {
        // Written only: this run keeps the design fonts, the next shows them.
        const Status faces = settings.saveAll({ SettingChange::Set(QStringLiteral("FormData"),
                                                    QStringLiteral("Font"), DefaultFormDataFace()),
            SettingChange::Set(
                QStringLiteral("Form"), QStringLiteral("Font"), DefaultFormFace()) });
        if (!faces)
            m_loadFailures << faces.error();
    }
    if (m_context.AltNetControlChosen)
        Label4()->setText(QStringLiteral("ALT ") + Label4()->text());

    if (settings.get(kSettings, QStringLiteral("User Name")) == m_context.NetCtlName)
        IDTimer->start();

    m_reportPeriod = InitialReportPeriod(m_services.clock->today());
    const QString preambleNotice = loadPreamble();

    ArrangeMainWindow();

    lstCounties->setCurrentRow(0);
    QStringList notices;
    if (const QString notice = m_session.takeUnreadableNotice(unreadable); !notice.isEmpty())
        notices << notice;
    if (!preambleNotice.isEmpty())
        notices << preambleNotice;
    if (!m_loadFailures.isEmpty())
        notices << QStringLiteral("SETTINGS NOT SAVED: ")
                + m_loadFailures.join(QStringLiteral("; "));
    if (!notices.isEmpty()) {
        setStatusLine(notices.join(QStringLiteral(" - ")));
        m_services.sounds->play(SoundName::Notify());
    } else if (lstCounties->count() == 2) {
        // Only EARLY and LATE CHECKINS: no station file holds a member yet.
        lblStatus()->setText(EmptyDatabaseNotice());
    }
    startJournal();
}

QString FrmMain::selectedCheckinCall()
{
    QListWidgetItem *line = selectedLine();
    if (!line)
        return QString();
    if (!m_session.earlyLateMode()) {
        // A member line counts when its station is checked in.
        const std::optional<MemberRef> member = m_session.member(recordOf(line));
        return member && m_session.checkins().find(member->call, CheckinTable::Last) > 0
            ? member->call
            : QString();
    }
    // The check-in lists show the session's lines, so a line is its check-in's.
    for (const SessionCheckin &c : m_journal.state().checkins) {
        if (!c.line.isEmpty() && c.line == line->text())
            return c.call;
    }
    return QString();
}

void FrmMain::setCaption()
{
    const QString flagFile = m_context.DataFolder + QStringLiteral("DbFlag.txt");
    const auto flagDate = [&flagFile]() -> std::optional<QDate> {
        const QFileInfo flag(flagFile);
        if (!flag.isFile() || !flag.lastModified().isValid())
            return std::nullopt;
        return flag.lastModified().date();
    };
    if (m_context.DatabaseUpdateFlag
        && !DatabaseUpdateFinished(m_context.ServerDbDate, flagDate())) {
        // The updater runs beside the program and writes the station files: the load waits
        // for it a while, and says so, rather than read half-written files.
        const QString title = windowTitle();
        setWindowTitle(title + QStringLiteral(" - WAITING FOR THE DATABASE UPDATE TO FINISH"));
        lblStatus()->setText(QStringLiteral("WAITING FOR THE DATABASE UPDATE TO FINISH"));
        QDeadlineTimer deadline(m_context.DatabaseWaitMs);
        while (
            !deadline.hasExpired() && !DatabaseUpdateFinished(m_context.ServerDbDate, flagDate())) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 100);
            QThread::msleep(100);
        }
        setWindowTitle(title);
        lblStatus()->clear();
    }
    const DatabaseCaption caption = DatabaseCaptionOf(m_context.DatabaseUpdateFlag,
        m_context.DatabaseUpdateDue, m_context.ServerDbDate,
        m_services.settings->get(kSettings, QStringLiteral("dBDate")), flagDate());
    // No database has come with a date yet (a first start): said so, not left blank.
    const QString date = caption.date.trimmed().isEmpty() ? QStringLiteral("none") : caption.date;
    setWindowTitle(windowTitle() + QStringLiteral("  ") + ShortDate(m_services.clock->today())
        + QStringLiteral(" ") + QStringLiteral(" - Current dB Date: ") + date + caption.tail);
    showJournalMark(m_journal.writeFailing());
}

bool FrmMain::saveAppearance(bool endsFirstRun)
{
    return m_format->saveAppearance(endsFirstRun, mnuOptionsDisableDing->isChecked());
}

void FrmMain::ErrorHandler(const QString &description)
{
    const SessionEnd end = ErrorHandlerDialogue(m_services, this, description, sessionCheckins(),
        sessionTraffic(), CountedSessionId(m_journal.state()));
    if (end == SessionEnd::Cancelled)
        return;
    // The program ends; the question has been asked already. A saved session keeps the
    // appearance too; No leaves everything as it was.
    if (end == SessionEnd::Saved)
        (void)saveAppearance(false);
    m_ending = true;
    m_closeQuietly = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // However the window is closed, a night's totals are never dropped without the question.
    if (!m_ending) {
        const SessionEnd end = EndSession(m_services, this, sessionCheckins(), sessionTraffic(),
            CountedSessionId(m_journal.state()));
        if (end == SessionEnd::Cancelled) {
            event->ignore();
            Change_Caret();
            return;
        }
        m_ending = true;
    }
    finishJournal();
    // A window closed before its net control and manager were shown (a load that stopped)
    // leaves everything as it was.
    if (!m_closeQuietly && !lblNetMgr()->text().isEmpty() && !lblNetCtl()->text().isEmpty()) {
        (void)saveAppearance(true);
        cleanUpUpdateFolder();
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

namespace {
// One window of a kind: a second request brings the open one to the front, so two copies
// can never show the operator two different states.
template <typename Window, typename Make> Window *OneWindow(QPointer<Window> &open, Make make)
{
    if (!open) {
        open = make();
        open->setAttribute(Qt::WA_DeleteOnClose);
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}
} // namespace

void FrmMain::cleanUpUpdateFolder()
{
    // What a program update downloaded has done its work once the program runs again, and
    // what a failed or killed download left is of no use: Temp goes whatever the mark says,
    // so the next start asks the server again.
    QDir temp(m_services.paths.tempFolder());
    if (temp.exists() && !temp.removeRecursively()) {
        qCWarning(lcSession) << "not removed:" << temp.path();
        return;
    }
    if (m_services.settings->get(kSettings, QStringLiteral("VBUpdate")) != kTrue)
        return;
    if (!m_services.settings->save(kSettings, QStringLiteral("VBUpdate"), kFalse))
        qCWarning(lcSession) << "VBUpdate not saved:" << m_services.settings->lastError();
}

void FrmMain::mnuReportsMonthly_Click()
{
    OneWindow(
        m_report, [this] { return new FrmReport(m_services, m_context, m_reportPeriod, this); });
}

void FrmMain::mnuChgCtl_Click()
{
    if (m_roster) {
        OneWindow(m_roster, [] { return nullptr; });
        return;
    }
    FrmNetCtl roster(m_services, m_context, *this, this);
    roster.NetCtlFromMenu = true;
    m_services.dialogs->execModal(&roster);
}

void FrmMain::CmdChange_Click()
{
    // Not modal: the net goes on while the roster is open.
    OneWindow(m_roster, [this] { return new FrmNetCtl(m_services, m_context, *this, this); });
}

void FrmMain::mnuHelpInstructions_Click()
{
    // Not modal: the operator logs stations while reading.
    OneWindow(m_instructions, [this] { return new FrmInstr(m_services, m_context, this); });
}

void FrmMain::mnuAbout_Click()
{
    OneWindow(m_about, [this] { return new FrmAbout(m_services, m_context, this); });
}

void FrmMain::mnuReportEditor_Click()
{
    frmReportEditor editor(m_services, m_context, this);
    m_services.dialogs->execModal(&editor);
}

void FrmMain::applyOptions()
{
    SettingsStore &settings = *m_services.settings;
    struct Option
    {
        QAction *action;
        QString key;
        bool missingChecked;
    };
    const Option options[] = {
        { mnuOptionsDisableDing, QStringLiteral("Ding"), false },
        { mnuOptionsRetainCheckmark, QStringLiteral("RetainCheckmark"), true },
        { mnuOptionsDisablePreambleWindow, QStringLiteral("DisablePreambleWindow"), false },
    };
    QList<SettingChange> defaults;
    for (const Option &o : options) {
        const QString value = settings.get(kOptions, o.key);
        if (value.isEmpty()) {
            o.action->setChecked(o.missingChecked);
            defaults << SettingChange::Set(kOptions, o.key, o.missingChecked ? kTrue : kFalse);
        } else {
            o.action->setChecked(value.compare(kTrue, Qt::CaseInsensitive) == 0);
        }
    }
    if (const Status saved = settings.saveAll(defaults); !saved)
        m_loadFailures << saved.error();
    mnuOptionsChangeQRZLogin->setChecked(false);
}

QString FrmMain::loadPreamble()
{
    // A missing or unreadable preamble leaves the pane empty: the net can run without it.
    const QString path = m_context.UserDataFolder + QStringLiteral("VorqPreamble.txt");
    const Result<QByteArray> text = m_context.UserDataFolder.isEmpty()
        ? Result<QByteArray>(Status::Error(path))
        : ReadSupportText(path);
    if (!text) {
        qCInfo(lcSession) << "no preamble:" << text.error();
        // A file that is there but refused is told: the operator expects to read it.
        return QFileInfo(path).isFile() ? QStringLiteral("PREAMBLE NOT SHOWN: ") + text.error()
                                        : QString();
    }
    rtxtPreamble->setPlainText(QString::fromLatin1(text.value()));
    const int length = rtxtPreamble->document()->characterCount() - 1;
    constexpr int start = 1231;
    constexpr int count = 225;
    if (length > start) {
        QTextCursor cursor(rtxtPreamble->document());
        cursor.setPosition(start);
        cursor.setPosition(std::min(start + count, length), QTextCursor::KeepAnchor);
        QTextCharFormat blue;
        blue.setForeground(QColor(0, 0, 255));
        cursor.mergeCharFormat(blue);
    }
    QTextCursor top(rtxtPreamble->document());
    rtxtPreamble->setTextCursor(top);
    return QString();
}

void FrmMain::updateCounters()
{
    lblChkins()->setText(QString::number(m_session.checkinCount()));
}

qint32 FrmMain::sessionCheckins() const
{
    return LeadingInt(lblChkins()->text());
}

qint32 FrmMain::sessionTraffic() const
{
    return LeadingInt(lblTraffic()->text());
}

void FrmMain::showOutcome(const SessionOutcome &outcome, QListWidgetItem *item)
{
    if (outcome.status)
        setStatusLine(*outcome.status);
    if (!outcome.checkinLine.isEmpty())
        lst1->addItem(outcome.checkinLine);
    if (!outcome.nonListed.isEmpty())
        m_nonListed->list()->addItem(outcome.nonListed);
    if (item && outcome.unmarkLine)
        item->setCheckState(Qt::Unchecked);
    if (item && outcome.removeLine)
        delete item;
    if (!outcome.checkinLine.isEmpty() || (item && outcome.removeLine))
        m_counties->showMemberList();
    if (!outcome.sound.isEmpty())
        m_services.sounds->play(outcome.sound);
    updateCounters();
}

void FrmMain::txtChkin_KeyDown()
{
    const SessionOutcome outcome
        = m_session.typedCheckin(txtChkin()->text(), m_services.clock->today());
    showOutcome(outcome);
    if (!outcome.nonListed.isEmpty())
        setStatusLine(m_callAssist->explainNotFound(outcome.nonListed, lblStatus()->text(),
            m_nonListed->list()->item(m_nonListed->list()->count() - 1)));
    txtChkin()->clear();
    Change_Caret();
}

void FrmMain::countyShown(const CountyChoice &choice, bool byKey)
{
    if (m_deleted->addRetired(choice.retired, choice.retiredIds))
        ArrangeMainWindow(); // the rows' height is known now
    if (!byKey)
        Change_Caret();
}

void FrmMain::memberLineChosen(const SessionOutcome &outcome, QListWidgetItem *item)
{
    showOutcome(outcome, item);
    mnuEditEdit->setEnabled(true);
    mnuEditDelete->setEnabled(true);
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

void FrmMain::lst1_MouseDown(Qt::MouseButton button, const QPoint &position)
{
    if (button == Qt::RightButton) {
        if (m_session.earlyLateMode())
            return;
        if (!lstCounties->currentItem() || lstCounties->currentItem()->text().isEmpty())
            return;
        QListWidgetItem *line = lst1->currentItem();
        if (!line || !line->text().left(4).contains(u' '))
            return;
        mnuChgCtl->setEnabled(false);
        popupMenu(mnuEdit, lst1->viewport()->mapToGlobal(position));
    }
    mnuChgCtl->setEnabled(true);
    m_maintenance->focusAfterListClick();
}

void FrmMain::mnuOptionsChangeQRZLogin_Click()
{
    mnuOptionsChangeQRZLogin->setChecked(false);
    ChangeQrzLogin(m_services, m_context, this);
    Change_Caret();
}

void FrmMain::lblTraffic_MouseDown(Qt::MouseButton button)
{
    m_session.countTraffic(button != Qt::RightButton, selectedCheckinCall());
    lblTraffic()->setText(TrafficCaption(m_session.traffic()));
}

void FrmMain::mnuEditDeleteCheckin_Click()
{
    QListWidgetItem *line = lst1->currentItem();
    const bool chosen = line && line->isSelected();
    const SessionOutcome outcome
        = m_session.deleteCheckin(chosen ? line->text() : QString(), chosen ? recordOf(line) : 0);
    showOutcome(outcome, chosen ? line : nullptr);
    Change_Caret();
}

bool FrmMain::saveOption(QAction *option, const QString &key)
{
    const Status saved
        = m_services.settings->saveValue(kOptions, key, option->isChecked() ? kTrue : kFalse);
    if (saved)
        return true;
    // The menu shows what the store holds: the option keeps its old state.
    const QSignalBlocker blocker(option);
    option->setChecked(!option->isChecked());
    setStatusLine(QStringLiteral("SETTINGS NOT SAVED: ") + saved.error());
    m_services.sounds->play(SoundName::Notify());
    return false;
}

void FrmMain::mnuOptionsRetainCheckmark_Click()
{
    saveOption(mnuOptionsRetainCheckmark, QStringLiteral("RetainCheckmark"));
}

void FrmMain::mnuOptionsDisableDing_Click()
{
    saveOption(mnuOptionsDisableDing, QStringLiteral("Ding"));
}

void FrmMain::mnuOptionsDisablePreambleWindow_Click()
{
    if (saveOption(mnuOptionsDisablePreambleWindow, QStringLiteral("DisablePreambleWindow")))
        ArrangeMainWindow();
}

void FrmMain::IDTimer_Timer()
{
    switch (ClassifyIdTick(m_services.clock->now().time(), Timer1->isActive())) {
    case IdTick::Start:
        m_services.sounds->play(m_context.UserDataFolder + QStringLiteral("IDTime.wav"));
        if (m_context.ScreenWidth == 1280 && m_context.ScreenHeight == 960) {
            QFont f = fraAdd->lblIDTime->font();
            f.setPointSize(28);
            fraAdd->lblIDTime->setFont(f);
        }
        Timer1->start();
        break;
    case IdTick::End:
        Timer1->stop();
        fraAdd->lblIDTime->hide();
        break;
    case IdTick::None:
        break;
    }
}

void FrmMain::Timer1_Timer()
{
    fraAdd->lblIDTime->setVisible(fraAdd->lblIDTime->isHidden());
}

void FrmMain::Change_Caret()
{
    txtChkin()->setFocus();
}

QString FrmMain::netManagerLabel() const
{
    return lblNetMgr()->text();
}

void FrmMain::setNetControlLabel(const QString &text)
{
    lblNetCtl()->setText(text);
}

void FrmMain::setNetManagerLabel(const QString &text)
{
    lblNetMgr()->setText(text);
}

void FrmMain::netControlChosen(const QString &name, const QString &call, bool todaysRegular)
{
    m_session.netControlChosen(name, call, !todaysRegular);
    showNetControlChoice(todaysRegular);
}

void FrmMain::showNetControlChoice(bool todaysRegular)
{
    if (todaysRegular) {
        Label4()->setText(QStringLiteral("NET CONTROL"));
        CmdChange()->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
    } else {
        Label4()->setText(QStringLiteral("ALT NET CONTROL"));
        CmdChange()->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 0);"));
        CmdChange()->setText(QStringLiteral("CHANGED"));
    }
    m_context.AltNetControlChosen = true;
}

void FrmMain::setIdReminderEnabled(bool enabled)
{
    if (enabled)
        IDTimer->start();
    else
        IDTimer->stop();
}

const CountyTable &FrmMain::hostCountyTable()
{
    return m_context.countyTable;
}

void FrmMain::setStatusLine(const QString &text)
{
    lblStatus()->setText(text);
}

QListWidgetItem *FrmMain::selectedLine()
{
    return m_counties->selectedLine();
}

int FrmMain::recordOf(QListWidgetItem *line)
{
    return CountyPanel::recordOf(line);
}

QListWidgetItem *FrmMain::lineOfRecord(int record)
{
    return m_counties->lineOfRecord(record);
}

void FrmMain::appendLine(const QString &text, int record)
{
    m_counties->appendLine(text, record);
}

void FrmMain::memberListChanged()
{
    m_counties->showMemberList();
}

void FrmMain::setRosterMenuEnabled(bool enabled)
{
    mnuChgCtl->setEnabled(enabled);
}

void FrmMain::focusCheckinBox()
{
    Change_Caret();
}
