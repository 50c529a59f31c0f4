#include "frmmain.h"

#include "appearance/mainlayout.h"
#include "appearance/ui/controllook.h"
#include "backup/ui/stationfilesimport.h"
#include "licences/ui/callsignassist.h"
#include "licences/ui/licenceimportwindow.h"
#include "maincanvas.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "maintenance/ui/memberinfoframe.h"
#include "maintenance/ui/membermaintenance.h"
#include "maintenance/ui/panelmaintenancehost.h"
#include "mainwindow/ui/optionsmenu.h"
#include "netshare/ui/netsharemenu.h"
#include "platform/named.h"
#include "platform/services.h"
#include "printing/ui/printmenu.h"
#include "qrz/ui/nonlistedframe.h"
#include "reports/ui/reportsmenu.h"
#include "roster/ui/netcontrolpanel.h"
#include "session/ui/checkinpanel.h"
#include "session/ui/countypanel.h"
#include "session/ui/journalkeeper.h"
#include "session/ui/netinfoframe.h"
#include "session/ui/preambleframe.h"
#include "startup/startupcontext.h"
#include "startup/ui/helpmenu.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

// The main window's panels, their wiring, its menu bar and its arrangement.

void FrmMain::buildControls()
{
    m_canvas = new MainCanvas(this);
    connect(m_canvas, &MainCanvas::backgroundClicked, this, &FrmMain::returnToCheckin);
    setCentralWidget(m_canvas);

    m_counties = new CountyPanel(m_services, m_session, m_canvas);
    connect(m_counties, &CountyPanel::statusLine, this, &FrmMain::setStatusLine);
    connect(m_counties, &CountyPanel::countyLeaving, this, [this] {
        if (m_maintenance)
            m_maintenance->countyChanged();
    });
    connect(m_counties, &CountyPanel::countyShown, this, &FrmMain::countyShown);
    connect(m_counties, &CountyPanel::memberLineChosen, this, [this] {
        m_editEntry->setEnabled(true);
        m_deleteEntry->setEnabled(true);
    });
    connect(m_counties, &CountyPanel::done, this, &FrmMain::returnToCheckin);
    connect(m_counties, &CountyPanel::memberMenuRequested, this, &FrmMain::memberMenu);

    m_preamble = new PreambleFrame(m_canvas);
    m_form = new MemberInfoFrame(m_canvas);

    m_nonListed = new NonListedFrame(m_services, m_session, m_qrz, m_canvas);
    connect(m_nonListed, &NonListedFrame::busy, this,
        [this](bool asking) { centralWidget()->setEnabled(!asking); });
    connect(m_nonListed, &NonListedFrame::statusLine, this, &FrmMain::setStatusLine);
    connect(m_nonListed, &NonListedFrame::done, this, &FrmMain::returnToCheckin);

    m_netInfo = new NetInfoFrame(m_canvas);
    // The preamble is read while the caret waits in CALLSIGN.
    for (const bool forward : { false, true }) {
        auto *page = new QShortcut(QKeySequence(forward ? Qt::Key_PageDown : Qt::Key_PageUp),
            m_netInfo->callsignBox(), nullptr, nullptr, Qt::WidgetShortcut);
        connect(page, &QShortcut::activated, m_preamble,
            [this, forward] { m_preamble->turnPage(forward); });
    }
    m_netInfo->setSmallScreen(m_context.ScreenWidth == 1024 && m_context.ScreenHeight == 768);
    m_checkin = new CheckinPanel(
        m_services, m_session, *m_netInfo, *m_counties, m_nonListed->list(), this);
    // A member line chosen shows the session's answer where the check-ins show.
    connect(m_counties, &CountyPanel::memberLineChosen, m_checkin, &CheckinPanel::showOutcome);
    connect(m_checkin, &CheckinPanel::notFound, this,
        [this](const QString &call, const QString &notice, QListWidgetItem *line) {
            if (const QString known = m_callAssist->explainNotFound(call, line); !known.isEmpty())
                setStatusLine(WithNotice(known, notice));
        });
    m_netControl = new NetControlPanel(
        m_services, m_context, m_session, *m_netInfo, m_form->idTimeLabel(), this);
    connect(m_netControl, &NetControlPanel::done, this, &FrmMain::returnToCheckin);

    m_session.setRetiredArchive(m_services.paths.retiredStationsFile());
    m_deleted = new DeletedStationsFrame(m_services, m_session, m_context.countyTable, m_canvas);
    connect(m_deleted, &DeletedStationsFrame::restored, this, [this] {
        // The county shown lists the station again.
        if (!m_session.earlyLateMode())
            m_counties->showCountyAgain();
    });
    connect(m_deleted, &DeletedStationsFrame::statusLine, this, &FrmMain::setStatusLine);
    connect(m_deleted, &DeletedStationsFrame::done, this, &FrmMain::returnToCheckin);

    m_exit = Named(new QPushButton(QStringLiteral("E&xit"), m_canvas), "cmdExit");
    connect(m_exit, &QPushButton::pressed, this,
        [this] { m_exit->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);")); });
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);

    m_maintenanceHost = std::make_unique<PanelMaintenanceHost>(
        m_services, m_context.countyTable, m_session, this, *m_counties, *m_checkin);
    m_maintenance = new MemberMaintenance(*m_maintenanceHost, *m_form);
    m_nonListed->setMaintenance(m_maintenance);

    for (QLineEdit *box : m_canvas->findChildren<QLineEdit *>())
        box->installEventFilter(this);
    // Tab goes the way of a net: from CALLSIGN to the counties, their members, the form.
    QList<QWidget *> order { m_netInfo->callsignBox(), m_counties->countyList(),
        m_counties->memberList() };
    order << m_form->tabStops();
    order << QList<QWidget *> { m_nonListed->list(), m_nonListed->clearButton(),
        m_nonListed->refreshButton(), m_netInfo->changeButton(), m_deleted->list(), m_exit };
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    m_look = std::make_unique<ControlLook>(m_canvas);
    // The numbers the operator glances at all night never shrink with the window.
    m_look->keepAtLeastDesignSize({ QStringLiteral("lblChkins"), QStringLiteral("lblTraffic") });
}

void FrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = Named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    auto *print = new PrintMenu(m_services, m_context.UserDataFolder, file, this);
    connect(print, &PrintMenu::statusLine, this, &FrmMain::setStatusLine);
    connect(print, &PrintMenu::done, this, &FrmMain::returnToCheckin);
    m_journalKeeper = new JournalKeeper(m_services, m_context, m_session, m_journal,
        m_maintenance->editor(), *m_checkin, file, this);
    connect(m_journalKeeper, &JournalKeeper::resuming, m_netControl,
        &NetControlPanel::resumeNetControl);
    connect(m_journalKeeper, &JournalKeeper::resuming, this, [this] {
        // The stations retired before the stop can be restored as before it.
        const auto [lines, ids] = m_session.standingRetired();
        if (m_deleted->addRetired(lines, ids))
            ArrangeMainWindow();
    });
    auto *import
        = new StationFilesImport(m_services, m_context, m_session, *m_counties, file, this);
    connect(import, &StationFilesImport::statusLine, this, &FrmMain::setStatusLine);
    connect(import, &StationFilesImport::done, this, &FrmMain::returnToCheckin);
    connect(Named(file->addAction(QStringLiteral("Import Licence Database...")),
                "mnuFileImportLicences"),
        &QAction::triggered, this, [this] {
            if (const QString text = ImportLicenceDatabase(this, m_services); !text.isEmpty())
                setStatusLine(text);
            returnToCheckin();
        });
    Named(file->addSeparator(), "Hyphen1");
    connect(Named(file->addAction(QStringLiteral("E&xit")), "mnuFileExit"), &QAction::triggered,
        this, &QWidget::close);

    m_editMenu = Named(bar->addMenu(QStringLiteral("&Edit")), "mnuEdit");
    buildEditMenu(m_editMenu);

    // Alt+O belongs to Options; Format takes its m.
    m_format = new FormatMenu(*this, *m_look, m_services, m_context,
        Named(bar->addMenu(QStringLiteral("For&mat")), "mnuFormat"), this);
    QMenu *options = Named(bar->addMenu(QStringLiteral("&Options")), "Hyphen2");
    m_options = new OptionsMenu(m_services, m_context, options, this);
    connect(m_options, &OptionsMenu::statusLine, this, &FrmMain::setStatusLine);
    connect(m_options, &OptionsMenu::preambleToggled, this, &FrmMain::ArrangeMainWindow);
    const auto followOptions = [this] {
        m_counties->setLineOptions({ m_options->retainCheckmark(), !m_options->dingDisabled(),
            m_context.ProgramFolder + QStringLiteral("ding.wav") });
    };
    connect(m_options, &OptionsMenu::lineOptionsChanged, m_counties, followOptions);
    followOptions();
    connect(m_options, &OptionsMenu::done, this, &FrmMain::returnToCheckin);
    QMenu *reports = Named(bar->addMenu(QStringLiteral("&Reports")), "mnuReports");
    new ReportsMenu(m_services, m_context, reports, this);
    m_netShare = new NetShareMenu(m_services, m_context, options, reports, this);
    connect(m_netShare, &NetShareMenu::statusLine, this, &FrmMain::setStatusLine);
    connect(m_netShare, &NetShareMenu::stationFilesChanged, this, &FrmMain::followNetChanges);
    connect(m_netShare, &NetShareMenu::recordWritten, this, [this](const NetApplied &written) {
        // A station checked in tonight is reported as it now stands, as after an edit here.
        const QString call = written.station.Call.trimmed();
        if (m_journal.isOpen() && !call.isEmpty()
            && m_session.checkins().find(call, CheckinTable::Last) > 0)
            m_session.memberEdited(m_services.paths.dataFolder() + written.file, written.record,
                written.station.trimmed());
    });
    new HelpMenu(m_services, m_context, bar, this);
    // A menu left with Escape would leave the bar holding the keys, so the next letters
    // typed open menus: the caret goes back to CALLSIGN instead.
    for (QAction *top : bar->actions()) {
        if (QMenu *menu = top->menu()) {
            connect(menu, &QMenu::aboutToHide, this, [this, bar] {
                QTimer::singleShot(0, this, [this, bar] {
                    if (bar->hasFocus())
                        returnToCheckin();
                });
            });
        }
    }
}

// Every net action has an entry here; the handlers are the panels'.
void FrmMain::buildEditMenu(QMenu *edit)
{
    auto entry = [edit](const char *name, const QString &caption, const QKeySequence &keys = {}) {
        QAction *action = Named(edit->addAction(caption), name);
        action->setShortcut(keys);
        return action;
    };
    m_deleteEntry = entry("mnuEditDelete", QStringLiteral("&Delete"));
    m_editEntry = entry("mnuEditEdit", QStringLiteral("&Edit"));
    m_rosterEntry = entry("mnuChgCtl", QStringLiteral("Change Net Ctl/Mgr"));
    m_maintenanceHost->setRosterEntry(m_rosterEntry);
    QAction *changeCall = entry("mnuChgCall", QStringLiteral("Change CallSign"));
    QAction *deleteCheckin = entry("mnuEditDeleteCheckin", QStringLiteral("Delete Chec&kin"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    // What the mouse does on the TRAFFIC counter and the non-listed list, from the keyboard.
    edit->addSeparator();
    QAction *addTraffic = entry(
        "mnuEditAddTraffic", QStringLiteral("Add &Traffic"), QKeySequence(Qt::CTRL | Qt::Key_T));
    QAction *removeTraffic = entry("mnuEditRemoveTraffic", QStringLiteral("&Remove Traffic"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    QAction *addMember = entry(
        "mnuEditAddMember", QStringLiteral("Add &Member"), QKeySequence(Qt::CTRL | Qt::Key_N));

    MemberMaintenance *form = m_maintenance;
    connect(m_deleteEntry, &QAction::triggered, form, &MemberMaintenance::deleteSelectedMember);
    connect(m_editEntry, &QAction::triggered, form, &MemberMaintenance::editSelectedMember);
    connect(changeCall, &QAction::triggered, form, &MemberMaintenance::changeSelectedCall);
    connect(addMember, &QAction::triggered, form, &MemberMaintenance::addMember);
    connect(m_rosterEntry, &QAction::triggered, m_netControl, &NetControlPanel::openRosterModal);
    connect(deleteCheckin, &QAction::triggered, m_checkin, &CheckinPanel::deleteSelectedCheckin);
    connect(addTraffic, &QAction::triggered, m_checkin, [this] { m_checkin->countTraffic(1); });
    connect(removeTraffic, &QAction::triggered, m_checkin, [this] { m_checkin->countTraffic(-1); });
}

void FrmMain::ArrangeMainWindow()
{
    const bool noPreamble = m_options->preambleDisabled();
    const MainLayout l = ComputeMainLayout(m_canvas->size(), noPreamble);
    m_canvas->lines = l.dividers;
    m_canvas->outline = l.outline;
    m_counties->countiesFrame()->setGeometry(l.fraCounties.toRect());
    m_counties->membersFrame()->setGeometry(l.FraStations.toRect());
    m_preamble->setVisible(!noPreamble);
    if (!noPreamble)
        m_preamble->setGeometry(l.fraPreamble.toRect());
    m_form->setGeometry(l.fraAdd.toRect());
    m_nonListed->setGeometry(l.FraSearch.toRect());
    m_netInfo->setGeometry(l.fraFormData.toRect());
    m_netInfo->arrange();
    m_form->arrange(); // its captions fit again after a font change
    m_deleted->setGeometry(l.fraDeletedStations.toRect());
    m_exit->setGeometry(l.cmdExit.toRect());

    for (QGroupBox *frame : QList<QGroupBox *> { m_counties->countiesFrame(),
             m_counties->membersFrame(), m_preamble, m_nonListed, m_netInfo, m_deleted, m_form })
        FitCaption(frame);

    m_counties->arrange(noPreamble);
    m_preamble->arrange();
    m_nonListed->arrange();
    m_deleted->arrange();
    m_canvas->update();
}

void FrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // Every control's font follows the window's height alike, unless the window is
    // maximised: then the sizes are those chosen.
    if (m_look && m_designHeight > 0 && !isMinimized())
        m_look->scale(height() / m_designHeight, isMaximized());
    ArrangeMainWindow();
}

ControlLook &FrmMain::look()
{
    return *m_look;
}
