#include "frmnetchanges.h"

#include "netsharemenu.h"

#include "netshare/netshare.h"
#include "platform/named.h"
#include "platform/services.h"
#include "stationdb/stationrecord.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString RecordText(const QByteArray &bytes)
{
    const StationRecord r = StationRecord::fromBytes(bytes).trimmed();
    if (r.isFree())
        return QStringLiteral("(NO STATION: THE RECORD IS FREE)");
    return QStringLiteral("CALL    ") + r.Call + QStringLiteral("\nNAME    ") + r.Name
        + QStringLiteral("\nCOUNTY  ") + r.County + QStringLiteral("\nSTATUS  ") + r.Status
        + QStringLiteral("\nCITY    ") + r.City + QStringLiteral("\nHEARD   ") + r.LastDate;
}

FrmNetChanges::FrmNetChanges(Services &services, NetShare &share, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_share(share)
{
    setObjectName(QStringLiteral("frmNetChanges"));
    setWindowTitle(QStringLiteral("NET CHANGES"));
    lstNetChanges = Named(new QListWidget(this), "lstNetChanges");
    lstNetChanges->setAccessibleName(QStringLiteral("Net changes that need a look"));
    txtTheirs = Named(new QPlainTextEdit(this), "txtTheirs");
    txtMine = Named(new QPlainTextEdit(this), "txtMine");
    lblNetChangesStatus = Named(new QLabel(this), "lblNetChangesStatus");
    cmdTakeTheirs = Named(new QPushButton(QStringLiteral("&Take Theirs"), this), "cmdTakeTheirs");
    cmdKeepMine = Named(new QPushButton(QStringLiteral("&Keep Mine"), this), "cmdKeepMine");
    cmdClose = Named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QPlainTextEdit *text : { txtTheirs, txtMine }) {
        text->setReadOnly(true);
        text->setFont(fixed);
        text->setTabChangesFocus(true);
    }
    txtTheirs->setAccessibleName(QStringLiteral("Their version"));
    txtMine->setAccessibleName(QStringLiteral("This PC's version"));
    lstNetChanges->setFont(fixed);

    auto *versions = new QGridLayout;
    auto *theirsLabel = new QLabel(QStringLiteral("THEIRS"), this);
    auto *mineLabel = new QLabel(QStringLiteral("THIS PC'S"), this);
    versions->addWidget(theirsLabel, 0, 0);
    versions->addWidget(mineLabel, 0, 1);
    versions->addWidget(txtTheirs, 1, 0);
    versions->addWidget(txtMine, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdTakeTheirs);
    buttons->addWidget(cmdKeepMine);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstNetChanges, 1);
    layout->addLayout(versions, 1);
    layout->addWidget(lblNetChangesStatus);
    layout->addLayout(buttons);
    resize(760, 480);

    connect(
        lstNetChanges, &QListWidget::currentRowChanged, this, &FrmNetChanges::lstNetChanges_Click);
    connect(cmdTakeTheirs, &QPushButton::clicked, this, &FrmNetChanges::cmdTakeTheirs_Click);
    connect(cmdKeepMine, &QPushButton::clicked, this, &FrmNetChanges::cmdKeepMine_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    showConflicts();
}

void FrmNetChanges::showConflicts()
{
    const QString kept = chosenId();
    const QList<NetConflict> conflicts = m_share.conflicts();
    lstNetChanges->blockSignals(true);
    lstNetChanges->clear();
    for (const NetConflict &c : conflicts) {
        const StationRecord theirs = StationRecord::fromBytes(c.theirs.after).trimmed();
        const StationRecord mine = StationRecord::fromBytes(c.mine).trimmed();
        const QString call = !theirs.isFree() ? theirs.Call : mine.Call;
        auto *item = new QListWidgetItem(call.leftJustified(7)
                + c.theirs.file.section(u'.', 0, 0).toUpper().leftJustified(16)
                + c.theirs.kind.toUpper().leftJustified(8) + QStringLiteral("BY ") + c.theirName
                + QStringLiteral(" ")
                + c.theirs.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            lstNetChanges);
        item->setData(Qt::UserRole, c.theirs.id());
        if (c.theirs.id() == kept)
            lstNetChanges->setCurrentItem(item);
    }
    lstNetChanges->blockSignals(false);
    if (!lstNetChanges->currentItem() && lstNetChanges->count() > 0)
        lstNetChanges->setCurrentRow(0);
    lblNetChangesStatus->setText(conflicts.isEmpty() ? QStringLiteral("NO NET CHANGE NEEDS A LOOK")
                                                     : ConflictNotice(int(conflicts.size())));
    cmdTakeTheirs->setEnabled(!conflicts.isEmpty());
    cmdKeepMine->setEnabled(!conflicts.isEmpty());
    lstNetChanges_Click();
    emit conflictsShown(int(conflicts.size()));
}

QString FrmNetChanges::chosenId() const
{
    const QListWidgetItem *item = lstNetChanges->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void FrmNetChanges::lstNetChanges_Click()
{
    const QString id = chosenId();
    for (const NetConflict &c : m_share.conflicts()) {
        if (c.theirs.id() != id)
            continue;
        txtTheirs->setPlainText(
            QStringLiteral("BY ") + c.theirName + u'\n' + RecordText(c.theirs.after));
        txtMine->setPlainText(
            QStringLiteral("RECORD ") + QString::number(c.record) + u'\n' + RecordText(c.mine));
        return;
    }
    txtTheirs->clear();
    txtMine->clear();
}

void FrmNetChanges::cmdTakeTheirs_Click()
{
    QString file;
    for (const NetConflict &c : m_share.conflicts()) {
        if (c.theirs.id() == chosenId())
            file = c.theirs.file;
    }
    const Status taken = m_share.takeTheirs(chosenId());
    // The county shown follows first, so what the list tells after it is what stays said.
    if (taken)
        emit stationFilesChanged({ file });
    showConflicts();
    if (!taken)
        lblNetChangesStatus->setText(QStringLiteral("NOT TAKEN: ") + taken.error());
}

void FrmNetChanges::cmdKeepMine_Click()
{
    const Status kept = m_share.keepMine(chosenId());
    showConflicts();
    if (!kept)
        lblNetChangesStatus->setText(QStringLiteral("NOT KEPT: ") + kept.error());
}
