#include "frmsessionlogs.h"

#include "platform/named.h"
#include "platform/services.h"
#include "session/netreport.h"
#include "stationdb/textforms.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmSessionLogs::FrmSessionLogs(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmSessionLogs"));
    setWindowTitle(QStringLiteral("SESSION LOGS"));
    lstSessions = Named(new QListWidget(this), "lstSessions");
    txtReport = Named(new QPlainTextEdit(this), "txtReport");
    cmdClose = Named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    txtReport->setReadOnly(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lstSessions->setFont(fixed);
    txtReport->setFont(fixed);

    auto *columns = new QHBoxLayout;
    columns->addWidget(lstSessions, 2);
    columns->addWidget(txtReport, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);
    resize(900, 500);

    // The logs are read once, when the window opens; the running session is not among them.
    for (const SessionLogEntry &log : ListSessionLogs(services.paths)) {
        QString line = ShortDate(log.start.date()).leftJustified(11)
            + log.start.toString(QStringLiteral("HH:mm")) + QStringLiteral("  QNI ")
            + QString::number(log.qni).rightJustified(3) + QStringLiteral("  QTC ")
            + QString::number(log.qtc).rightJustified(3);
        if (!log.ended)
            line += QStringLiteral("  DID NOT END");
        auto *item = new QListWidgetItem(line, lstSessions);
        item->setData(Qt::UserRole, log.name);
    }
    if (lstSessions->count() == 0)
        txtReport->setPlainText(QStringLiteral("NO SESSION LOGS YET"));
    connect(lstSessions, &QListWidget::currentRowChanged, this, &FrmSessionLogs::lstSessions_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void FrmSessionLogs::lstSessions_Click()
{
    const QListWidgetItem *chosen = lstSessions->currentItem();
    if (!chosen)
        return;
    const Result<QString> report
        = NetReportOf(m_services.paths, chosen->data(Qt::UserRole).toString());
    txtReport->setPlainText(
        report ? report.value() : QStringLiteral("CANNOT READ ") + report.error());
}
