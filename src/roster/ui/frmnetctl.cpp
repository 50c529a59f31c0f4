#include "frmnetctl.h"

#include "platform/ui/keyfilter.h"

#include "platform/named.h"
#include "platform/services.h"
#include "roster/rosterhost.h"
#include "roster/rosterschedule.h"
#include "startup/startupcontext.h"
#include "startup/ui/centrewindow.h"
#include "startup/ui/frminstr.h"
#include "stationdb/callsign.h"
#include "stationdb/settingsstore.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString appTitle()
{
    return QStringLiteral("VORQ");
}

} // namespace

FrmNetCtl::FrmNetCtl(Services &services, StartupContext &context, RosterHost &host, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_context(context)
    , m_host(host)
{
    setObjectName(QStringLiteral("FrmNetCtl"));
    setWindowTitle(QStringLiteral("Change NET CONTROL/MANAGER"));
    buildWindow();

    CentreWindow(*this, QSize(context.ScreenWidth, context.ScreenHeight));
    txtDay->setText(context.WeekdayName);
    if (!host.netManagerLabel().isEmpty()) {
        TxtMgrName->setText(context.NetMgrName);
        TxtMgrCall->setText(context.NetMgrCall);
    }
    FillNetControlList();
    FillAltNetControlList();
    // Without the file the instructions box stays empty; the roster works the same.
    if (!context.UserDataFolder.isEmpty())
        txtInstr->setPlainText(ReadWholeText(context.UserDataFolder + QStringLiteral("AltNC.txt")));
}

void FrmNetCtl::buildWindow()
{
    buildRosterLists();
    buildManagerFrame();
    buildNetControlFrame();
    Frame2 = Named(new QGroupBox(QStringLiteral("INSTRUCTIONS"), this), QStringLiteral("Frame2"));
    txtInstr = Named(new QPlainTextEdit(Frame2), QStringLiteral("txtInstr"));
    txtInstr->setReadOnly(true);
    (new QVBoxLayout(Frame2))->addWidget(txtInstr);

    cmdClose = Named(new QPushButton(QStringLiteral("CLOSE"), this), QStringLiteral("cmdClose"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(Frame1, 0, 0, 2, 1);
    layout->addWidget(fraAltNC, 0, 1);
    layout->addWidget(FraNetMgr, 1, 1);
    layout->addWidget(FraNetCtl, 0, 2);
    layout->addWidget(Frame2, 1, 2);
    layout->addWidget(cmdClose, 2, 2, Qt::AlignRight);

    // Enter in a box must not press a default button of the dialog.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    wire();
    resize(820, 520);
}

// NET CONTROLS and ALT NET CONTROLS with its buttons and menu.
void FrmNetCtl::buildRosterLists()
{
    Frame1 = Named(new QGroupBox(QStringLiteral("NET CONTROLS"), this), QStringLiteral("Frame1"));
    lst1 = Named(new QListWidget(Frame1), QStringLiteral("lst1"));
    (new QVBoxLayout(Frame1))->addWidget(lst1);

    fraAltNC = Named(
        new QGroupBox(QStringLiteral("ALT NET CONTROLS"), this), QStringLiteral("fraAltNC"));
    lstAltNC = Named(new QListWidget(fraAltNC), QStringLiteral("lstAltNC"));
    cmdAddAltNC = Named(
        new QPushButton(QStringLiteral("ADD ALT NC"), fraAltNC), QStringLiteral("cmdAddAltNC"));
    cmdEdit = Named(new QPushButton(QStringLiteral("EDIT"), fraAltNC), QStringLiteral("cmdEdit"));
    cmdEdit->setEnabled(false);
    auto *altLayout = new QGridLayout(fraAltNC);
    altLayout->addWidget(lstAltNC, 0, 0, 1, 2);
    altLayout->addWidget(cmdAddAltNC, 1, 0);
    altLayout->addWidget(cmdEdit, 1, 1);
    mnuAltNC = Named(new QMenu(QStringLiteral("&AltNC"), this), QStringLiteral("mnuAltNC"));
    mnuEditEdit
        = Named(mnuAltNC->addAction(QStringLiteral("&Edit")), QStringLiteral("mnuEditEdit"));
    mnuEditDelete
        = Named(mnuAltNC->addAction(QStringLiteral("&Delete")), QStringLiteral("mnuEditDelete"));
    lstAltNC->setContextMenuPolicy(Qt::CustomContextMenu);
}

void FrmNetCtl::buildManagerFrame()
{
    FraNetMgr
        = Named(new QGroupBox(QStringLiteral("NET MANAGER"), this), QStringLiteral("FraNetMgr"));
    TxtMgrName = Named(new QLineEdit(FraNetMgr), QStringLiteral("TxtMgrName"));
    TxtMgrCall = Named(new QLineEdit(FraNetMgr), QStringLiteral("TxtMgrCall"));
    cmdChange
        = Named(new QPushButton(QStringLiteral("CHANGE"), FraNetMgr), QStringLiteral("cmdChange"));
    CmdClrNM
        = Named(new QPushButton(QStringLiteral("&CLEAR"), FraNetMgr), QStringLiteral("CmdClrNM"));
    auto *mgrLayout = new QGridLayout(FraNetMgr);
    mgrLayout->addWidget(new QLabel(QStringLiteral("NAME"), FraNetMgr), 0, 0);
    mgrLayout->addWidget(TxtMgrName, 0, 1);
    mgrLayout->addWidget(new QLabel(QStringLiteral("CALL"), FraNetMgr), 1, 0);
    mgrLayout->addWidget(TxtMgrCall, 1, 1);
    mgrLayout->addWidget(cmdChange, 2, 0);
    mgrLayout->addWidget(CmdClrNM, 2, 1);
}

void FrmNetCtl::buildNetControlFrame()
{
    FraNetCtl = Named(
        new QGroupBox(QStringLiteral("NET CONTROL OPERATIONS"), this), QStringLiteral("FraNetCtl"));
    lblDay = Named(new QLabel(QStringLiteral("DAY"), FraNetCtl), QStringLiteral("lblDay"));
    txtDay = Named(new QLineEdit(FraNetCtl), QStringLiteral("txtDay"));
    TxtCtlName = Named(new QLineEdit(FraNetCtl), QStringLiteral("TxtCtlName"));
    TxtCtlCall = Named(new QLineEdit(FraNetCtl), QStringLiteral("TxtCtlCall"));
    cmdAdd = Named(new QPushButton(QStringLiteral("ADD"), FraNetCtl), QStringLiteral("cmdAdd"));
    cmdOK = Named(new QPushButton(QStringLiteral("OK"), FraNetCtl), QStringLiteral("cmdOK"));
    cmdClrNC
        = Named(new QPushButton(QStringLiteral("&CLEAR"), FraNetCtl), QStringLiteral("cmdClrNC"));
    cmdAdd->setEnabled(false);
    cmdOK->setEnabled(false);
    auto *ctlLayout = new QGridLayout(FraNetCtl);
    ctlLayout->addWidget(lblDay, 0, 0);
    ctlLayout->addWidget(txtDay, 0, 1, 1, 2);
    ctlLayout->addWidget(new QLabel(QStringLiteral("NAME"), FraNetCtl), 1, 0);
    ctlLayout->addWidget(TxtCtlName, 1, 1, 1, 2);
    ctlLayout->addWidget(new QLabel(QStringLiteral("CALL"), FraNetCtl), 2, 0);
    ctlLayout->addWidget(TxtCtlCall, 2, 1, 1, 2);
    ctlLayout->addWidget(cmdAdd, 3, 0);
    ctlLayout->addWidget(cmdOK, 3, 1);
    ctlLayout->addWidget(cmdClrNC, 3, 2);
}

void FrmNetCtl::wire()
{
    connect(lst1, &QListWidget::itemClicked, this, &FrmNetCtl::lst1_Click);
    connect(lstAltNC, &QListWidget::itemClicked, this, &FrmNetCtl::lstAltNC_Click);
    connect(lstAltNC, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { mnuAltNC->popup(lstAltNC->viewport()->mapToGlobal(pos)); });
    connect(mnuEditEdit, &QAction::triggered, this, &FrmNetCtl::mnuEditEdit_Click);
    connect(mnuEditDelete, &QAction::triggered, this, &FrmNetCtl::mnuEditDelete_Click);
    connect(txtDay, &QLineEdit::returnPressed, this, &FrmNetCtl::txtDay_Enter);
    connect(TxtCtlName, &QLineEdit::returnPressed, this, &FrmNetCtl::TxtCtlName_Enter);
    connect(TxtCtlCall, &QLineEdit::returnPressed, this, &FrmNetCtl::TxtCtlCall_Enter);
    connect(cmdAdd, &QPushButton::clicked, this, &FrmNetCtl::cmdAdd_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmNetCtl::cmdOK_Click);
    connect(cmdChange, &QPushButton::clicked, this, &FrmNetCtl::cmdChange_Click);
    connect(cmdAddAltNC, &QPushButton::clicked, this, &FrmNetCtl::cmdAddAltNC_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &FrmNetCtl::cmdEdit_Click);
    connect(cmdClrNC, &QPushButton::clicked, this, &FrmNetCtl::cmdClrNC_Click);
    connect(CmdClrNM, &QPushButton::clicked, this, &FrmNetCtl::CmdClrNM_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmNetCtl::cmdClose_Click);
    for (QWidget *box : std::initializer_list<QWidget *> {
             txtDay, TxtCtlName, TxtCtlCall, TxtMgrName, TxtMgrCall, lst1, lstAltNC })
        box->installEventFilter(this);
    InstallKeyFilter(TxtCtlCall, FieldKind::Call);
    InstallKeyFilter(TxtMgrCall, FieldKind::Call);
}

bool FrmNetCtl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == lst1 || watched == lstAltNC)) {
        // A line made current by the keys, or Enter or Space on it, is taken as a click
        // takes it; a list merely tabbed through leaves the boxes alone.
        auto *list = static_cast<QListWidget *>(watched);
        const bool take = IsLineActivation(*static_cast<QKeyEvent *>(event));
        const int before = list->currentRow();
        if (!take) {
            // The list moves first; a key it does not take goes on to the window (Escape).
            static_cast<QObject *>(list)->event(event);
            if (!event->isAccepted())
                return false;
        }
        if (take || list->currentRow() != before) {
            if (list == lst1)
                lst1_Click();
            else
                lstAltNC_Click();
        }
        return true;
    }
    if (event->type() == QEvent::FocusIn && m_altNCEditMode
        && (watched == TxtCtlName || watched == TxtCtlCall)) {
        // Tabbing into the boxes of an alternate being edited offers EDIT, as a click there
        // does: the keyboard alone finishes an edit.
        TxtCtl_MouseDown();
    } else if (event->type() == QEvent::FocusIn && watched == txtDay) {
        txtDay_GotFocus();
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == TxtCtlName)
            TxtCtlName_LostFocus();
        else if (watched == TxtMgrName)
            TxtMgrName_LostFocus();
        else if (watched == TxtMgrCall)
            TxtMgrCall_LostFocus();
    } else if (event->type() == QEvent::MouseButtonPress
        && (watched == TxtCtlName || watched == TxtCtlCall)) {
        TxtCtl_MouseDown();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmNetCtl::FillNetControlList()
{
    lst1->clear();
    const QStringList lines = NetControlLines(*m_services.settings);
    const QStringList days = RosterDayNames();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The weekday stands beside its line; the entry itself is kept apart from the text.
        auto *item = new QListWidgetItem(
            days[i].left(3).toUpper() + QStringLiteral("  ") + lines[i], lst1);
        item->setData(Qt::UserRole, lines[i]);
    }
}

void FrmNetCtl::FillAltNetControlList()
{
    lstAltNC->clear();
    lstAltNC->addItems(AlternateLines(*m_services.settings));
}

void FrmNetCtl::takeLine(const QString &line)
{
    const RosterLine parts = SplitRosterLine(line);
    TxtCtlName->setText(parts.name);
    TxtCtlCall->setText(parts.call);
    cmdOK->setEnabled(true);
}

void FrmNetCtl::lst1_Click()
{
    QListWidgetItem *item = lst1->currentItem();
    if (!item)
        return;
    takeLine(item->data(Qt::UserRole).toString());
    // The line's weekday goes to DAY, so ADD changes the day that was clicked.
    txtDay->setText(RosterDayNames().value(lst1->currentRow()));
    cmdAdd->setEnabled(true);
}

void FrmNetCtl::lstAltNC_Click()
{
    QListWidgetItem *item = lstAltNC->currentItem();
    if (!item)
        return;
    // An alternate is never today's regular line, whatever was picked there before.
    lst1->setCurrentRow(-1);
    takeLine(item->text());
}

void FrmNetCtl::txtDay_GotFocus()
{
    const QString day = NormalizeDayName(txtDay->text());
    // What is no weekday stays for the operator to correct; ADD says what is wanted.
    if (day.isEmpty())
        return;
    txtDay->setText(day);
    cmdOK->setEnabled(true);
    cmdAdd->setEnabled(true);
}

void FrmNetCtl::txtDay_Enter()
{
    txtDay_GotFocus();
}

void FrmNetCtl::TxtCtlName_Enter()
{
    TxtCtlName->setText(TxtCtlName->text().toUpper());
    TxtCtlCall->setFocus();
}

void FrmNetCtl::TxtCtlName_LostFocus()
{
    // Emptied by the operator, the day is vacant; a box only passed through stays as it is.
    if (TxtCtlName->text().isEmpty() && TxtCtlName->isModified())
        TxtCtlName->setText(QStringLiteral("vacant"));
    TxtCtlName->setText(TxtCtlName->text().toUpper());
}

void FrmNetCtl::TxtCtlCall_Enter()
{
    const QString call = TxtCtlCall->text().toUpper();
    if (m_altNCEditMode)
        return;
    if (!IsValidCall(call)) {
        TxtCtlCall->clear();
        TxtCtlCall->setFocus();
        m_services.sounds->play(SoundName::Notify());
        return;
    }
    txtDay->setFocus();
    txtDay_GotFocus();
}

void FrmNetCtl::TxtCtl_MouseDown()
{
    cmdEdit->setEnabled(true);
}

void FrmNetCtl::TxtMgrName_LostFocus()
{
    TxtMgrName->setText(TxtMgrName->text().toUpper());
}

void FrmNetCtl::TxtMgrCall_LostFocus()
{
    TxtMgrCall->setText(TxtMgrCall->text().toUpper());
}

void FrmNetCtl::cmdAdd_Click()
{
    // The day is the key of the stored entry: without a weekday there is nothing to change.
    const QString day = NormalizeDayName(txtDay->text());
    if (day.isEmpty()) {
        m_services.dialogs->message(this, appTitle(),
            QStringLiteral("DAY MUST BE A WEEKDAY, SUNDAY TO SATURDAY"), MsgIcon::Warning, Ok);
        txtDay->setFocus();
        return;
    }
    const MsgButton answer = m_services.dialogs->message(this, appTitle(),
        QStringLiteral("THIS WILL PERMANENTLY CHANGE THE SELECTED DAY'S NET CONTROL (")
            + day.toUpper() + QStringLiteral("). ARE YOU SURE?"),
        MsgIcon::Warning, Yes | No, No);
    if (answer != Yes)
        return;
    const QString name = TxtCtlName->text();
    const QString call = TxtCtlCall->text();
    if (name.isEmpty() || call.isEmpty())
        return;
    // The day's name and call are one entry: never one day's name with another's call.
    if (!stored(
            m_services.settings->saveAll({ SettingChange::Set(QStringLiteral("NetCtl"), day, name),
                SettingChange::Set(QStringLiteral("NetCtlCall"), day, call) })))
        return;
    if (day == m_context.WeekdayName)
        m_host.setNetControlLabel(NetInfoLabel(name, call));
    FillNetControlList();
    m_host.focusCheckinBox();
}

bool FrmNetCtl::stored(const Status &saved)
{
    if (saved)
        return true;
    m_services.dialogs->message(this, appTitle(),
        QStringLiteral("The roster could not be saved.\nSETTINGS NOT SAVED: ") + saved.error(),
        MsgIcon::Critical, Ok);
    return false;
}

bool FrmNetCtl::todaysRegularLineTaken() const
{
    const QListWidgetItem *item = lst1->currentItem();
    if (!item || lst1->currentRow() + 1 != m_context.WeekdayNumber)
        return false;
    // Typing over the taken line makes it someone else's net.
    const RosterLine line = SplitRosterLine(item->data(Qt::UserRole).toString());
    return line.name == TxtCtlName->text() && line.call == TxtCtlCall->text();
}

void FrmNetCtl::cmdOK_Click()
{
    if (TxtCtlCall->text().isEmpty() || TxtCtlName->text().isEmpty())
        return;
    TxtMgrCall->setText(TxtMgrCall->text().toUpper());
    const QString netControl = NetInfoLabel(TxtCtlName->text(), TxtCtlCall->text());
    m_host.setNetControlLabel(netControl);
    m_host.setNetManagerLabel(NetInfoLabel(TxtMgrName->text(), TxtMgrCall->text()));
    m_host.netControlChosen(TxtCtlName->text(), TxtCtlCall->text(), todaysRegularLineTaken());
    m_context.AltNetControlChosen = true;
    const QString user
        = m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("User Name"));
    m_host.setIdReminderEnabled(IdReminderFor(netControl, user));
    accept();
}

void FrmNetCtl::cmdChange_Click()
{
    if (TxtMgrName->text().isEmpty() || TxtMgrCall->text().isEmpty())
        return;
    TxtMgrCall->setText(TxtMgrCall->text().toUpper());
    const QString name = TxtMgrName->text();
    const QString call = TxtMgrCall->text();
    if (!stored(m_services.settings->saveAll({ SettingChange::Set(QStringLiteral("Settings"),
                                                   QStringLiteral("NetMgr"), name),
            SettingChange::Set(QStringLiteral("Settings"), QStringLiteral("NetMgrCall"), call) })))
        return;
    m_host.setNetManagerLabel(NetInfoLabel(name, call));
    // The next opening of this window shows the manager now in office.
    m_context.NetMgrName = name;
    m_context.NetMgrCall = call;
}

void FrmNetCtl::cmdAddAltNC_Click()
{
    // An alternate without a name or call would be a blank line in the list.
    if (TxtCtlName->text().isEmpty() || TxtCtlCall->text().isEmpty())
        return;
    const int slot = FreeAlternateSlot(*m_services.settings);
    if (slot == 0)
        return;
    if (!stored(m_services.settings->save(QStringLiteral("AltNC"), QString::number(slot),
            TxtCtlName->text() + u' ' + TxtCtlCall->text())))
        return;
    FillAltNetControlList();
    TxtCtlName->clear();
    TxtCtlCall->clear();
}

void FrmNetCtl::mnuEditDelete_Click()
{
    const int row = lstAltNC->currentRow();
    if (row < 0)
        return;
    if (stored(DeleteAlternate(*m_services.settings, row + 1))) {
        TxtCtlName->clear();
        TxtCtlCall->clear();
    }
    FillAltNetControlList();
}

void FrmNetCtl::mnuEditEdit_Click()
{
    lblDay->setVisible(false);
    txtDay->setVisible(false);
    txtDay->setEnabled(false);
    cmdOK->setEnabled(true);
    m_altNCEditMode = true;
}

void FrmNetCtl::cmdEdit_Click()
{
    const int row = lstAltNC->currentRow();
    if (row < 0)
        return;
    // On failure the window stays in edit mode with the boxes filled, for another try.
    if (!stored(m_services.settings->save(QStringLiteral("AltNC"), QString::number(row + 1),
            TxtCtlName->text() + u' ' + TxtCtlCall->text())))
        return;
    FillAltNetControlList();
    m_altNCEditMode = false;
    cmdOK->setEnabled(false);
    lblDay->setVisible(true);
    txtDay->setVisible(true);
    lblDay->setEnabled(true);
    txtDay->setEnabled(true);
    TxtCtlName->clear();
    TxtCtlCall->clear();
}

void FrmNetCtl::cmdClrNC_Click()
{
    TxtCtlName->clear();
    TxtCtlCall->clear();
    txtDay->clear();
    TxtCtlName->setFocus();
}

void FrmNetCtl::CmdClrNM_Click()
{
    TxtMgrName->clear();
    TxtMgrCall->clear();
}

void FrmNetCtl::cmdClose_Click()
{
    if (TxtMgrName->text().isEmpty())
        return;
    close();
}

void FrmNetCtl::done(int result)
{
    if (!NetCtlFromMenu)
        m_host.focusCheckinBox();
    else
        NetCtlFromMenu = false;
    QDialog::done(result);
}
