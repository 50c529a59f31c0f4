#include "frmmain.h"

#include "appearance/mainlayout.h"
#include "appearance/ui/controllook.h"
#include "licences/ui/licenceimportwindow.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "maintenance/ui/memberinfoframe.h"
#include "maintenance/ui/membermaintenance.h"
#include "platform/named.h"
#include "platform/services.h"
#include "platform/ui/blockcaret.h"
#include "qrz/ui/nonlistedframe.h"
#include "session/ui/countypanel.h"
#include "session/ui/netinfoframe.h"
#include "startup/startupcontext.h"

#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

// The main window's controls, menus and arrangement; its handlers are in frmmain.cpp.

namespace {

QAction *action(QMenu *menu, const char *name, const QString &caption)
{
    return Named(menu->addAction(caption), name);
}

} // namespace

// The window background, with the divider lines between the areas.
class MainCanvas : public QWidget
{
public:
    explicit MainCanvas(QWidget *parent)
        : QWidget(parent)
    {
    }
    QList<QLineF> lines;
    QRectF outline;
    QColor lineColor = Qt::black;
    std::function<void()> backgroundClicked;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        // A click anywhere on the background sends the caret back to CALLSIGN.
        if (backgroundClicked)
            backgroundClicked();
        event->accept();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(lineColor, 1));
        painter.drawRect(outline);
        painter.drawLines(lines);
    }
};

void FrmMain::buildControls()
{
    m_canvas = new MainCanvas(this);
    m_canvas->backgroundClicked = [this] { Change_Caret(); };
    setCentralWidget(m_canvas);

    m_counties = new CountyPanel(m_services, m_session, m_canvas);
    fraCounties = m_counties->fraCounties;
    lstCounties = m_counties->lstCounties;
    FraStations = m_counties->FraStations;
    lst1 = m_counties->lst1;
    m_counties->retainCheckmark = [this] { return mnuOptionsRetainCheckmark->isChecked(); };
    m_counties->dingEnabled = [this] { return !mnuOptionsDisableDing->isChecked(); };
    m_counties->dingFile = m_context.ProgramFolder + QStringLiteral("ding.wav");
    connect(m_counties, &CountyPanel::statusLine, this, &FrmMain::setStatusLine);
    connect(m_counties, &CountyPanel::countyLeaving, this, [this] {
        if (m_maintenance)
            m_maintenance->countyChanged();
    });
    connect(m_counties, &CountyPanel::countyShown, this, &FrmMain::countyShown);
    connect(m_counties, &CountyPanel::memberLineChosen, this, &FrmMain::memberLineChosen);
    connect(m_counties, &CountyPanel::done, this, &FrmMain::Change_Caret);

    fraPreamble = Named(new QGroupBox(QStringLiteral("PREAMBLE"), m_canvas), "fraPreamble");
    rtxtPreamble = Named(new QTextEdit(fraPreamble), "rtxtPreamble");
    rtxtPreamble->setAcceptRichText(false);
    // The net control reads it; a call typed after a click in it must still reach CALLSIGN.
    rtxtPreamble->setReadOnly(true);
    rtxtPreamble->setFocusPolicy(Qt::NoFocus);

    fraAdd = new MemberInfoFrame(m_canvas);

    m_nonListed = new NonListedFrame(m_services, m_session, m_qrz, *fraAdd, m_canvas);
    connect(m_nonListed, &NonListedFrame::busy, this,
        [this](bool asking) { centralWidget()->setEnabled(!asking); });
    connect(m_nonListed, &NonListedFrame::done, this, &FrmMain::Change_Caret);

    fraFormData = new NetInfoFrame(m_canvas);
    GiveBlockCaret(fraFormData->txtChkin);
    fraFormData->setSmallScreen(m_context.ScreenWidth == 1024 && m_context.ScreenHeight == 768);

    m_deleted = new DeletedStationsFrame(
        m_services, m_session, m_context.countyTable, popupMenu, m_canvas);
    connect(m_deleted, &DeletedStationsFrame::restored, this, [this] {
        // The county shown lists the station again.
        if (!m_session.earlyLateMode())
            m_counties->lstCounties_Click();
    });
    connect(m_deleted, &DeletedStationsFrame::statusLine, this,
        [this](const QString &text) { lblStatus()->setText(text); });
    connect(m_deleted, &DeletedStationsFrame::done, this, &FrmMain::Change_Caret);
    cmdExit = Named(new QPushButton(QStringLiteral("E&xit"), m_canvas), "cmdExit");

    // Screen readers name each list by its frame's caption.
    for (const auto &[list, frame] :
        { std::pair<QWidget *, QGroupBox *> { rtxtPreamble, fraPreamble } })
        list->setAccessibleName(frame->title());

    IDTimer = Named(new QTimer(this), "IDTimer");
    IDTimer->setInterval(1000);
    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(200);

    connect(txtChkin(), &QLineEdit::returnPressed, this, &FrmMain::txtChkin_KeyDown);
    connect(txtChkin(), &QLineEdit::textEdited, this, [this](const QString &text) {
        // Where Caps Lock cannot be forced on, calls still appear in capitals as typed.
        if (m_services.keyboard->canSetLocks())
            return;
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = txtChkin()->cursorPosition();
            txtChkin()->setText(upper);
            txtChkin()->setCursorPosition(cursor);
        }
    });
    connect(lst1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { lst1_MouseDown(Qt::RightButton, pos); });
    connect(lblTraffic(), &PressLabel::pressed, this, &FrmMain::lblTraffic_MouseDown);
    connect(IDTimer, &QTimer::timeout, this, &FrmMain::IDTimer_Timer);
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
    connect(cmdExit, &QPushButton::pressed, this,
        [this] { cmdExit->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);")); });
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(CmdChange(), &QPushButton::clicked, this, &FrmMain::CmdChange_Click);
    for (QLineEdit *box : m_canvas->findChildren<QLineEdit *>())
        box->installEventFilter(this);
    // Tab goes the way of a net: from CALLSIGN to the counties, their members, the form.
    QWidget *const order[] = { txtChkin(), lstCounties, lst1, fraAdd->txtCall, fraAdd->TxtNew,
        fraAdd->txtName, fraAdd->txtCounty, fraAdd->txtStatus, fraAdd->txtCS, fraAdd->cmdSave,
        fraAdd->cmdCancel, m_nonListed->list(), m_nonListed->clearButton(),
        m_nonListed->refreshButton(), CmdChange(), m_deleted->list(), cmdExit };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    mnuFile = Named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuFilePrint = Named(mnuFile->addMenu(QStringLiteral("&Print...")), "mnuFilePrint");
    auto entry = [this](QMenu *menu, const char *name, const QString &caption,
                     void (FrmMain::*handler)()) {
        connect(action(menu, name, caption), &QAction::triggered, this, handler);
    };
    entry(mnuFilePrint, "mnuFilePrintPageSetup", QStringLiteral("&Page Setup"),
        &FrmMain::mnuFilePrintPageSetup_Click);
    entry(mnuFilePrint, "mnuFilePrintFont", QStringLiteral("&Font"),
        &FrmMain::mnuFilePrintFont_Click);
    entry(mnuFilePrint, "mnuFilePrintInstructions", QStringLiteral("&Instructions"),
        &FrmMain::mnuFilePrintInstructions_Click);
    entry(mnuFilePrint, "mnuFilePrintPreamble", QStringLiteral("P&reamble"),
        &FrmMain::mnuFilePrintPreamble_Click);
    // A copy of the texts for an operator without a printer.
    QMenu *pdf = Named(mnuFile->addMenu(QStringLiteral("Save as P&DF...")), "mnuFilePdf");
    entry(pdf, "mnuFilePdfInstructions", QStringLiteral("&Instructions"),
        &FrmMain::mnuFilePdfInstructions_Click);
    entry(
        pdf, "mnuFilePdfPreamble", QStringLiteral("P&reamble"), &FrmMain::mnuFilePdfPreamble_Click);
    mnuFileSaveCheckinLog
        = action(mnuFile, "mnuFileSaveCheckinLog", QStringLiteral("Save Check-in Log..."));
    connect(
        mnuFileSaveCheckinLog, &QAction::triggered, this, &FrmMain::mnuFileSaveCheckinLog_Click);
    mnuFileImportStationFiles
        = action(mnuFile, "mnuFileImportStationFiles", QStringLiteral("Import Station Files..."));
    connect(mnuFileImportStationFiles, &QAction::triggered, this,
        &FrmMain::mnuFileImportStationFiles_Click);
    connect(action(mnuFile, "mnuFileImportLicences", QStringLiteral("Import Licence Database...")),
        &QAction::triggered, this, [this] {
            if (const QString text = ImportLicenceDatabase(this, m_services); !text.isEmpty())
                setStatusLine(text);
            Change_Caret();
        });
    Named(mnuFile->addSeparator(), "Hyphen1");
    mnuFileExit = action(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    mnuEdit = Named(bar->addMenu(QStringLiteral("&Edit")), "mnuEdit");
    mnuEditDelete = action(mnuEdit, "mnuEditDelete", QStringLiteral("&Delete"));
    mnuEditEdit = action(mnuEdit, "mnuEditEdit", QStringLiteral("&Edit"));
    mnuChgCtl = action(mnuEdit, "mnuChgCtl", QStringLiteral("Change Net Ctl/Mgr"));
    mnuChgCall = action(mnuEdit, "mnuChgCall", QStringLiteral("Change CallSign"));
    mnuEditDeleteCheckin
        = action(mnuEdit, "mnuEditDeleteCheckin", QStringLiteral("Delete Chec&kin"));
    mnuEditDeleteCheckin->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    connect(mnuEditDeleteCheckin, &QAction::triggered, this, &FrmMain::mnuEditDeleteCheckin_Click);
    // What the mouse does on the TRAFFIC counter and the non-listed list, from the keyboard.
    mnuEdit->addSeparator();
    mnuEditAddTraffic = action(mnuEdit, "mnuEditAddTraffic", QStringLiteral("Add &Traffic"));
    mnuEditAddTraffic->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(mnuEditAddTraffic, &QAction::triggered, this,
        [this] { lblTraffic_MouseDown(Qt::LeftButton); });
    mnuEditRemoveTraffic
        = action(mnuEdit, "mnuEditRemoveTraffic", QStringLiteral("&Remove Traffic"));
    mnuEditRemoveTraffic->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    connect(mnuEditRemoveTraffic, &QAction::triggered, this,
        [this] { lblTraffic_MouseDown(Qt::RightButton); });
    mnuEditAddMember = action(mnuEdit, "mnuEditAddMember", QStringLiteral("Add &Member"));
    mnuEditAddMember->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(mnuChgCtl, &QAction::triggered, this, &FrmMain::mnuChgCtl_Click);

    // Alt+O belongs to Options; Format takes its m.
    mnuFormat = Named(bar->addMenu(QStringLiteral("For&mat")), "mnuFormat");
    // FormatMenu fills it once the controls' look exists.

    Hyphen2 = Named(bar->addMenu(QStringLiteral("&Options")), "Hyphen2");
    mnuOptionsRetainCheckmark
        = action(Hyphen2, "mnuOptionsRetainCheckmark", QStringLiteral("&Retain Checkmark"));
    mnuOptionsDisableDing
        = action(Hyphen2, "mnuOptionsDisableDing", QStringLiteral("&Disable Ding"));
    mnuOptionsChangeQRZLogin
        = action(Hyphen2, "mnuOptionsChangeQRZLogin", QStringLiteral("Change QRZ Login"));
    mnuOptionsDisablePreambleWindow = action(
        Hyphen2, "mnuOptionsDisablePreambleWindow", QStringLiteral("Disable Preamble Window"));
    for (QAction *a : { mnuOptionsRetainCheckmark, mnuOptionsDisableDing, mnuOptionsChangeQRZLogin,
             mnuOptionsDisablePreambleWindow })
        a->setCheckable(true);
    mnuOptionsRetainCheckmark->setChecked(true);
    connect(mnuOptionsChangeQRZLogin, &QAction::triggered, this,
        &FrmMain::mnuOptionsChangeQRZLogin_Click);
    // A checkable entry has flipped its mark by the time it reports the click.
    connect(mnuOptionsRetainCheckmark, &QAction::triggered, this,
        &FrmMain::mnuOptionsRetainCheckmark_Click);
    connect(
        mnuOptionsDisableDing, &QAction::triggered, this, &FrmMain::mnuOptionsDisableDing_Click);
    connect(mnuOptionsDisablePreambleWindow, &QAction::triggered, this,
        &FrmMain::mnuOptionsDisablePreambleWindow_Click);

    mnuReports = Named(bar->addMenu(QStringLiteral("&Reports")), "mnuReports");
    mnuReportsMonthly = action(mnuReports, "mnuReportsMonthly", QStringLiteral("&Monthly Report"));
    mnuReportEditor = action(mnuReports, "mnuReportEditor", QStringLiteral("&Report Editor"));
    connect(mnuReportsMonthly, &QAction::triggered, this, &FrmMain::mnuReportsMonthly_Click);
    connect(mnuReportEditor, &QAction::triggered, this, &FrmMain::mnuReportEditor_Click);
    mnuReportsSessionLogs
        = action(mnuReports, "mnuReportsSessionLogs", QStringLiteral("Session Logs"));
    connect(
        mnuReportsSessionLogs, &QAction::triggered, this, &FrmMain::mnuReportsSessionLogs_Click);

    mnuHelp = Named(bar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    mnuHelpInstructions = action(mnuHelp, "mnuHelpInstructions", QStringLiteral("&Instructions"));
    connect(mnuHelpInstructions, &QAction::triggered, this, &FrmMain::mnuHelpInstructions_Click);
    mnuAbout = Named(bar->addAction(QStringLiteral("A&bout")), "mnuAbout");
    connect(mnuAbout, &QAction::triggered, this, &FrmMain::mnuAbout_Click);
}

void FrmMain::ArrangeMainWindow()
{
    const bool noPreamble = mnuOptionsDisablePreambleWindow->isChecked();
    const MainLayout l = ComputeMainLayout(m_canvas->size(), noPreamble);
    m_canvas->lines = l.dividers;
    m_canvas->outline = l.outline;
    fraCounties->setGeometry(l.fraCounties.toRect());
    FraStations->setGeometry(l.FraStations.toRect());
    fraPreamble->setVisible(!noPreamble);
    if (!noPreamble)
        fraPreamble->setGeometry(l.fraPreamble.toRect());
    fraAdd->setGeometry(l.fraAdd.toRect());
    m_nonListed->setGeometry(l.FraSearch.toRect());
    fraFormData->setGeometry(l.fraFormData.toRect());
    fraFormData->arrange();
    fraAdd->arrange(); // its captions fit again after a font change
    m_deleted->setGeometry(l.fraDeletedStations.toRect());
    cmdExit->setGeometry(l.cmdExit.toRect());

    // A frame's caption too wide for its frame (a big form font on a small screen) is set
    // smaller until it fits; the size chosen and stored stays as it is.
    const QList<QGroupBox *> frames { fraCounties, FraStations, fraPreamble, m_nonListed,
        fraFormData, m_deleted, fraAdd };
    for (QGroupBox *frame : frames) {
        QFont font = frame->font();
        const int room = frame->width() - 2 * frame->fontMetrics().averageCharWidth();
        while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(frame->title()) > room)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        if (font != frame->font())
            frame->setFont(font);
    }

    m_counties->arrange(noPreamble);
    const double pw = fraPreamble->width(), ph = fraPreamble->height();
    rtxtPreamble->setGeometry(int(pw * 0.0266), int(ph * 0.1), int(pw * 0.938), int(ph * 0.804));
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

void FrmMain::setLineColor(const QColor &color)
{
    m_canvas->lineColor = color;
    m_canvas->update();
}

QColor FrmMain::lineColor() const
{
    return m_canvas->lineColor;
}

QColor FrmMain::windowBackground() const
{
    return m_canvas->palette().color(QPalette::Window);
}

void FrmMain::setWindowBackground(const QColor &color)
{
    QPalette p = m_canvas->palette();
    p.setColor(QPalette::Window, color);
    m_canvas->setPalette(p);
    m_canvas->setAutoFillBackground(true);
}
