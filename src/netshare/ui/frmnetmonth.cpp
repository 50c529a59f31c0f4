#include "frmnetmonth.h"

#include "netshare/netmonth.h"
#include "netshare/netshare.h"
#include "platform/clock.h"
#include "platform/named.h"
#include "platform/services.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget *Table(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *table = Named(new QTreeWidget(parent), name);
    table->setHeaderLabels(headers);
    table->setRootIsDecorated(false);
    table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

QString Totals(int sessions, int qni, int qtc, int qtr)
{
    return QStringLiteral("SESSIONS ") + QString::number(sessions) + QStringLiteral("   QNI ")
        + QString::number(qni) + QStringLiteral("   QTC ") + QString::number(qtc)
        + QStringLiteral("   QTR ") + QString::number(qtr) + QStringLiteral(" MINUTES");
}

} // namespace

void AddMonthChoices(QComboBox *box, const QDate &today, int months)
{
    for (int back = 0; back < months; ++back) {
        const QDate month = QDate(today.year(), today.month(), 1).addMonths(-back);
        box->addItem(
            EnglishMonthName(month.month()).toUpper() + u' ' + QString::number(month.year()),
            month);
    }
}

FrmNetMonth::FrmNetMonth(Services &services, NetShare &share, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_share(share)
{
    setObjectName(QStringLiteral("frmNetMonth"));
    setWindowTitle(QStringLiteral("NET MONTH"));
    cboNetMonth = Named(new QComboBox(this), "cboNetMonth");
    cboNetMonth->setAccessibleName(QStringLiteral("Month"));
    const QDate today = services.clock->today();
    AddMonthChoices(cboNetMonth, today, 24);
    tblNetMonth = Table(this, "tblNetMonth",
        { QStringLiteral("DATE"), QStringLiteral("START"), QStringLiteral("END"),
            QStringLiteral("NET CONTROL"), QStringLiteral("QNI"), QStringLiteral("QTC"),
            QStringLiteral("QTR"), QStringLiteral("PC") });
    tblNetMonth->setAccessibleName(QStringLiteral("Sessions of the month"));
    lblNetMonthTotals = Named(new QLabel(this), "lblNetMonthTotals");
    lblNetMonthTotals->setTextInteractionFlags(
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblNetMonthOwn = Named(new QLabel(this), "lblNetMonthOwn");
    lblNetMonthOwn->setTextInteractionFlags(
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    tblNetControls = Table(this, "tblNetControls",
        { QStringLiteral("NET CONTROL"), QStringLiteral("SESSIONS"), QStringLiteral("QNI"),
            QStringLiteral("QTC"), QStringLiteral("QTR") });
    tblNetControls->setAccessibleName(QStringLiteral("Each net control's sessions"));
    cmdSaveCsv = Named(new QPushButton(QStringLiteral("&Save as CSV..."), this), "cmdSaveCsv");
    cmdClose = Named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");

    auto *monthLabel = new QLabel(QStringLiteral("&Month:"), this);
    monthLabel->setBuddy(cboNetMonth);
    auto *top = new QHBoxLayout;
    top->addWidget(monthLabel);
    top->addWidget(cboNetMonth);
    top->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSaveCsv);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tblNetMonth, 3);
    layout->addWidget(lblNetMonthTotals);
    layout->addWidget(lblNetMonthOwn);
    layout->addWidget(tblNetControls, 1);
    layout->addLayout(buttons);
    resize(820, 560);

    connect(cboNetMonth, &QComboBox::currentIndexChanged, this, &FrmNetMonth::showMonth);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &FrmNetMonth::cmdSaveCsv_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(&share, &NetShare::passed, this, &FrmNetMonth::showMonth);
    showMonth();
}

void FrmNetMonth::showMonth()
{
    tblNetMonth->clear();
    tblNetControls->clear();
    if (!m_share.isOn()) {
        lblNetMonthTotals->setText(
            QStringLiteral("NET SHARING IS OFF - TURN IT ON IN OPTIONS > NET SHARING..."));
        cmdSaveCsv->setEnabled(false);
        return;
    }
    const QDate month = cboNetMonth->currentData().toDate();
    const NetMonth net = ReadNetMonth(m_share.folder(), month.year(), month.month());
    for (const NetSessionSummary &s : net.sessions) {
        new QTreeWidgetItem(tblNetMonth,
            { ShortDate(s.date), s.start, s.end, s.netControl, QString::number(s.qni),
                QString::number(s.qtc), QString::number(s.qtr),
                SharedStationName(m_share.folder(), s.station()) });
    }
    for (const NetControlMonth &nc : net.byNetControl) {
        new QTreeWidgetItem(tblNetControls,
            { nc.netControl, QString::number(nc.sessions), QString::number(nc.qni),
                QString::number(nc.qtc), QString::number(nc.qtr) });
    }
    int own = 0, ownQni = 0, ownQtc = 0, ownQtr = 0;
    for (const NetSessionSummary &s : net.sessions) {
        if (s.station() == m_share.stationId()) {
            ++own;
            ownQni += s.qni;
            ownQtc += s.qtc;
            ownQtr += s.qtr;
        }
    }
    lblNetMonthOwn->setText(QStringLiteral("THIS PC: ") + Totals(own, ownQni, ownQtc, ownQtr));
    QString totals
        = QStringLiteral("THE NET: ") + Totals(int(net.sessions.size()), net.qni, net.qtc, net.qtr);
    if (!net.refused.isEmpty())
        totals += QStringLiteral("   (%1 SUMMARIES COULD NOT BE READ: ").arg(net.refused.size())
            + net.refused.first() + u')';
    lblNetMonthTotals->setText(totals);
    cmdSaveCsv->setEnabled(true);
    if (tblNetMonth->topLevelItemCount() > 0)
        tblNetMonth->setCurrentItem(tblNetMonth->topLevelItem(0));
}

void FrmNetMonth::cmdSaveCsv_Click()
{
    const QDate month = cboNetMonth->currentData().toDate();
    const QString suggested
        = QDir(m_services.paths.root())
              .filePath(QStringLiteral("net-month-") + month.toString(QStringLiteral("yyyy-MM"))
                  + QStringLiteral(".csv"));
    const QString path = m_services.dialogs->chooseSaveFile(
        this, QStringLiteral("Save Net Month"), suggested, QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const Status written = WriteFileAtomically(
        path, NetMonthCsv(ReadNetMonth(m_share.folder(), month.year(), month.month())));
    lblNetMonthTotals->setText(written ? QStringLiteral("SAVED ") + QDir::toNativeSeparators(path)
                                       : QStringLiteral("NOT SAVED: ") + written.error());
}
