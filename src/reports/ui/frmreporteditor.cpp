#include "frmreporteditor.h"

#include "maintenance/newmemberlist.h"
#include "platform/named.h"
#include "platform/services.h"
#include "reports/monthlytotals.h"
#include "startup/startupcontext.h"
#include "startup/ui/centrewindow.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

frmReportEditor::frmReportEditor(Services &services, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmReportEditor"));
    setWindowTitle(QStringLiteral("Report Editor"));

    lblSessions
        = Named(new QLabel(QStringLiteral("SESSIONS CALLED"), this), QStringLiteral("lblSessions"));
    lblcheckin
        = Named(new QLabel(QStringLiteral("TOTAL CHECKINS"), this), QStringLiteral("lblcheckin"));
    LBLTraffic
        = Named(new QLabel(QStringLiteral("TRAFFIC COUNT"), this), QStringLiteral("LBLTraffic"));
    LBLNEW = Named(new QLabel(QStringLiteral("NEW MEMBERS"), this), QStringLiteral("LBLNEW"));
    Label1 = Named(new QLabel(QStringLiteral("ADD NEW MEMBERS"), this), QStringLiteral("Label1"));
    txtSessions = Named(new QLineEdit(this), QStringLiteral("txtSessions"));
    txtCheckins = Named(new QLineEdit(this), QStringLiteral("txtCheckins"));
    txtTraffic = Named(new QLineEdit(this), QStringLiteral("txtTraffic"));
    txtAdd = Named(new QLineEdit(this), QStringLiteral("txtAdd"));
    lstNewMember = Named(new QListWidget(this), QStringLiteral("lstNewMember"));
    cmdAdd = Named(new QPushButton(QStringLiteral("ADD"), this), QStringLiteral("cmdAdd"));
    cmdEdit = Named(new QPushButton(QStringLiteral("EDIT"), this), QStringLiteral("cmdEdit"));
    cmdMove = Named(new QPushButton(QStringLiteral(">"), this), QStringLiteral("cmdMove"));
    cmdDelete = Named(new QPushButton(QStringLiteral("DELETE"), this), QStringLiteral("cmdDelete"));
    CmdSave
        = Named(new QPushButton(QStringLiteral("SAVE CHANGES"), this), QStringLiteral("CmdSave"));
    cmdExit = Named(new QPushButton(QStringLiteral("EXIT"), this), QStringLiteral("cmdExit"));
    for (QPushButton *button : { cmdAdd, cmdEdit, cmdMove, cmdDelete, CmdSave, cmdExit })
        button->setAutoDefault(false);
    cmdAdd->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdDelete->setEnabled(false);
    cmdMove->setVisible(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lblSessions, 0, 0);
    grid->addWidget(txtSessions, 0, 1);
    grid->addWidget(lblcheckin, 1, 0);
    grid->addWidget(txtCheckins, 1, 1);
    grid->addWidget(LBLTraffic, 2, 0);
    grid->addWidget(txtTraffic, 2, 1);
    grid->addWidget(Label1, 3, 0, 1, 2);
    grid->addWidget(txtAdd, 4, 0, 1, 2);
    grid->addWidget(cmdAdd, 5, 0);
    grid->addWidget(cmdMove, 5, 1);
    grid->addWidget(LBLNEW, 6, 0, 1, 2);
    grid->addWidget(lstNewMember, 7, 0, 1, 2);
    grid->addWidget(cmdEdit, 8, 0);
    grid->addWidget(cmdDelete, 8, 1);
    grid->addWidget(CmdSave, 9, 0);
    grid->addWidget(cmdExit, 9, 1);

    for (QLineEdit *total : { txtSessions, txtCheckins, txtTraffic })
        connect(total, &QLineEdit::textChanged, this, &frmReportEditor::txtTotal_Change);
    connect(txtAdd, &QLineEdit::textChanged, this, &frmReportEditor::txtAdd_Change);
    // A click counts even on the entry still selected, so DELETE and EDIT come back after
    // SAVE turned them off.
    connect(
        lstNewMember, &QListWidget::currentRowChanged, this, &frmReportEditor::lstNewMember_Click);
    connect(lstNewMember, &QListWidget::itemClicked, this, &frmReportEditor::lstNewMember_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmReportEditor::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmReportEditor::cmdEdit_Click);
    connect(cmdMove, &QPushButton::clicked, this, &frmReportEditor::cmdMove_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmReportEditor::cmdDelete_Click);
    connect(CmdSave, &QPushButton::clicked, this, &frmReportEditor::CmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmReportEditor::cmdExit_Click);

    Form_Load();
}

void frmReportEditor::Form_Load()
{
    // Wide enough for a whole entry: call, name, county and city.
    lstNewMember->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40);
    adjustSize();
    CentreOnScreen(*this, m_context, m_services);

    const SettingsStore &settings = *m_services.settings;
    const MonthlyTotals totals = LoadMonthlyTotals(settings);
    txtSessions->setText(QString::number(totals.Sessions));
    txtCheckins->setText(QString::number(totals.Checkins));
    txtTraffic->setText(QString::number(totals.Traffic));
    CmdSave->setEnabled(false);
    const QSignalBlocker blocker(lstNewMember);
    lstNewMember->addItems(NewMemberEntries(settings));
    lstNewMember->setCurrentRow(-1);
}

void frmReportEditor::txtTotal_Change()
{
    CmdSave->setEnabled(true);
}

void frmReportEditor::txtAdd_Change()
{
    CmdSave->setEnabled(true);
    if (m_editMode)
        cmdMove->setVisible(true);
    else
        cmdAdd->setEnabled(true);
}

void frmReportEditor::cmdAdd_Click()
{
    // A blank entry would only print as an empty line in the report.
    if (txtAdd->text().trimmed().isEmpty())
        return;
    lstNewMember->addItem(u' ' + txtAdd->text());
    CmdSave->setEnabled(true);
    txtAdd->clear();
    txtAdd->setFocus();
}

void frmReportEditor::lstNewMember_Click()
{
    if (lstNewMember->currentRow() > -1)
        cmdDelete->setEnabled(true);
    CmdSave->setEnabled(true);
    cmdEdit->setEnabled(true);
}

void frmReportEditor::cmdEdit_Click()
{
    QListWidgetItem *item = lstNewMember->currentItem();
    if (!item)
        return;
    Label1->setText(QStringLiteral("EDIT NEW MEMBER"));
    m_editMode = true;
    txtAdd->setText(item->text());
}

void frmReportEditor::cmdMove_Click()
{
    QListWidgetItem *item = lstNewMember->currentItem();
    if (!item)
        return;
    item->setText(txtAdd->text());
    Label1->setText(QStringLiteral("ADD NEW MEMBER"));
    txtAdd->clear();
    cmdMove->setVisible(false);
    cmdEdit->setEnabled(false);
    cmdAdd->setEnabled(false);
    m_editMode = false;
}

void frmReportEditor::cmdDelete_Click()
{
    CmdSave->setEnabled(false);
    const int row = lstNewMember->currentRow();
    if (row < 0)
        return;
    SettingsStore &settings = *m_services.settings;
    const int key = FindNewMemberKey(settings, lstNewMember->item(row)->text());
    if (key < 0)
        return;
    if (const Status emptied
        = settings.save(NewMemberList::Section(), QString::number(key), QString());
        !emptied) {
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("The entry could not be deleted.\nSETTINGS NOT SAVED: ")
                + emptied.error(),
            MsgIcon::Critical, Ok);
        return;
    }
    const QSignalBlocker blocker(lstNewMember);
    delete lstNewMember->takeItem(row);
    lstNewMember->setCurrentRow(-1);
}

void frmReportEditor::CmdSave_Click()
{
    SettingsStore &settings = *m_services.settings;
    QStringList entries;
    for (int i = 0; i < lstNewMember->count(); ++i)
        entries << lstNewMember->item(i)->text();

    // A total must be a whole number: "1O0" would be read back as 1, and the next session
    // would add to that. Nothing is stored until all three are.
    QList<SettingChange> changes;
    const struct
    {
        QLineEdit *box;
        QLabel *label;
        QString key;
    } totals[] = { { txtSessions, lblSessions, ReportKeys::Sessions() },
        { txtCheckins, lblcheckin, ReportKeys::Checkins() },
        { txtTraffic, LBLTraffic, ReportKeys::Traffic() } };
    for (const auto &total : totals) {
        const std::optional<qint32> value = WholeNumber(total.box->text());
        if (!value) {
            m_services.dialogs->message(this, windowTitle(),
                total.label->text() + QStringLiteral(" MUST BE A WHOLE NUMBER - NOTHING SAVED"),
                MsgIcon::Warning, Ok);
            total.box->setFocus();
            total.box->selectAll();
            return;
        }
        changes << SettingChange::Set(ReportKeys::Section(), total.key, QString::number(*value));
    }
    changes += NewMemberListChanges(settings, entries);
    const Status saved = settings.saveAll(changes);
    if (!saved) {
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("The changes could not be saved.\nSETTINGS NOT SAVED: ") + saved.error(),
            MsgIcon::Critical, Ok);
        return;
    }
    // Emptied entries were left out of the store; the list shows what is stored.
    const QSignalBlocker blocker(lstNewMember);
    for (int i = lstNewMember->count() - 1; i >= 0; --i) {
        if (lstNewMember->item(i)->text().isEmpty())
            delete lstNewMember->takeItem(i);
    }
    CmdSave->setEnabled(false);
    cmdAdd->setEnabled(false);
    cmdDelete->setEnabled(false);
}

void frmReportEditor::cmdExit_Click()
{
    CmdSave->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdAdd->setEnabled(false);
    cmdDelete->setEnabled(false);
    reject();
}
