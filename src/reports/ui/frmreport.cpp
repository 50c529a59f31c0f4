#include "frmreport.h"

#include "frmmonth.h"
#include "platform/named.h"
#include "platform/services.h"
#include "reports/reporttext.h"
#include "startup/startupcontext.h"
#include "startup/ui/centrewindow.h"
#include "stationdb/settingsstore.h"

#include <QClipboard>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

FrmReport::FrmReport(
    Services &services, StartupContext &context, ReportPeriod &period, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_context(context)
    , m_period(period)
{
    setObjectName(QStringLiteral("FrmReport"));
    setWindowTitle(QStringLiteral("VOQR MONTHLY REPORT"));

    lblSessions
        = Named(new QLabel(ReportCaptions::Sessions(), this), QStringLiteral("lblSessions"));
    lblSC = Named(new QLabel(QStringLiteral("0"), this), QStringLiteral("lblSC"));
    Label1 = Named(new QLabel(ReportCaptions::Checkins(), this), QStringLiteral("Label1"));
    lblTchkin = Named(new QLabel(QStringLiteral("0"), this), QStringLiteral("lblTchkin"));
    Label2 = Named(new QLabel(ReportCaptions::Traffic(), this), QStringLiteral("Label2"));
    lblTC = Named(new QLabel(QStringLiteral("0"), this), QStringLiteral("lblTC"));
    lblAdditions = Named(
        new QLabel(QStringLiteral("DATABASE ADDITIONS"), this), QStringLiteral("lblAdditions"));
    LstNewMem = Named(new QListWidget(this), QStringLiteral("LstNewMem"));
    cmdPrint = Named(new QPushButton(QStringLiteral("&PRINT"), this), QStringLiteral("cmdPrint"));
    CmdCopy = Named(new QPushButton(QStringLiteral("COPY REPORT TO CLIPBOARD"), this),
        QStringLiteral("CmdCopy"));
    cmdReset
        = Named(new QPushButton(QStringLiteral("RESET REPORT"), this), QStringLiteral("cmdReset"));
    cmdClose = Named(new QPushButton(QStringLiteral("&CLOSE"), this), QStringLiteral("cmdClose"));
    // A copy of the report for an operator without a printer.
    cmdPdf
        = Named(new QPushButton(QStringLiteral("SAVE AS P&DF..."), this), QStringLiteral("cmdPdf"));
    for (QPushButton *button : { cmdPrint, cmdPdf, CmdCopy, cmdReset, cmdClose })
        button->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lblSessions, 0, 0);
    grid->addWidget(lblSC, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(lblTchkin, 1, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(lblTC, 2, 1);
    grid->addWidget(lblAdditions, 3, 0, 1, 2);
    grid->addWidget(LstNewMem, 4, 0, 1, 2);
    grid->addWidget(cmdPrint, 5, 0);
    grid->addWidget(CmdCopy, 5, 1);
    grid->addWidget(cmdPdf, 6, 0);
    grid->addWidget(cmdReset, 7, 0);
    grid->addWidget(cmdClose, 7, 1);

    connect(CmdCopy, &QPushButton::clicked, this, &FrmReport::CmdCopy_Click);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { printReport(QString()); });
    connect(cmdPdf, &QPushButton::clicked, this, &FrmReport::cmdPdf_Click);
    connect(cmdReset, &QPushButton::clicked, this, &FrmReport::cmdReset_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmReport::cmdClose_Click);

    Form_Load();
}

void FrmReport::Form_Load()
{
    adjustSize();
    CentreOnScreen(*this, m_context, m_services);

    if (m_services.printer->count() == 0)
        cmdPrint->setEnabled(false);

    const SettingsStore &settings = *m_services.settings;
    // Members added before the month's first saved session are the month's additions too,
    // as the report editor shows them.
    LstNewMem->addItems(NewMemberEntries(settings));
    if (!HasStoredTotals(settings))
        return;
    m_totals = LoadMonthlyTotals(settings);
    showTotals();
}

void FrmReport::showTotals()
{
    lblSC->setText(QString::number(m_totals.Sessions));
    lblTchkin->setText(QString::number(m_totals.Checkins));
    lblTC->setText(QString::number(m_totals.Traffic));
}

void FrmReport::MonthCheck(const QString &question)
{
    const MsgButton answer
        = m_services.dialogs->message(this, QString(), question, MsgIcon::Warning, Yes | No);
    if (answer == Yes)
        return;
    frmMonth month(m_period, this);
    m_services.dialogs->execModal(&month);
}

void FrmReport::CmdCopy_Click()
{
    MonthCheck(MonthCheckQuestion(ReportAction::Copy, m_period.MonthName));

    SettingsStore &settings = *m_services.settings;
    const MonthlyReportText report = BuildMonthlyReportText(m_totals, NewMemberEntries(settings),
        m_period.MonthName, ReportYear(m_period, m_services.clock->today()));

    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(report.clipboard);
    CmdCopy->setText(QStringLiteral("REPORT COPIED"));

    // Subject and text are one copy: never the subject of one report with another's text.
    const Status stored = settings.saveAll(
        { SettingChange::Set(ReportKeys::Section(), ReportKeys::Subject(), report.subject),
            SettingChange::Set(ReportKeys::Section(), ReportKeys::MsgText(), report.body) });
    if (!stored) {
        // The clipboard holds the report anyway; only the stored copy is missing.
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("The report could not be stored.\nSETTINGS NOT SAVED: ")
                + stored.error(),
            MsgIcon::Warning, Ok);
    }
}

void FrmReport::cmdPrint_Click()
{
    printReport(QString());
}

void FrmReport::cmdPdf_Click()
{
    const QString file = m_services.dialogs->chooseSaveFile(this, QStringLiteral("SAVE AS PDF"),
        QDir::homePath() + QStringLiteral("/VORQ report ") + m_period.MonthName
            + QStringLiteral(".pdf"),
        QStringLiteral("PDF files (*.pdf)"));
    if (!file.isEmpty())
        printReport(file);
}

void FrmReport::printReport(const QString &pdfFile)
{
    Printer &printer = *m_services.printer;
    if (pdfFile.isEmpty() && printer.count() == 0)
        return;
    MonthCheck(MonthCheckQuestion(ReportAction::Print, m_period.MonthName));

    const auto lines = MonthlyReportPrintLines(m_totals, NewMemberEntries(*m_services.settings),
        m_period.MonthName, ReportYear(m_period, m_services.clock->today()));
    for (const auto &line : lines)
        printer.printLine(line);
    const bool done
        = pdfFile.isEmpty() ? printer.endDocument() : printer.saveDocumentAsPdf(pdfFile);
    if (!done && pdfFile.isEmpty())
        m_services.dialogs->message(
            this, QString(), PrinterErrorText(), MsgIcon::Warning, Ok | Cancel);
    else if (!done) // the file and the reason: a full disk is no printer fault
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("PDF NOT SAVED: ") + printer.errorString(), MsgIcon::Warning, Ok);
}

void FrmReport::cmdReset_Click()
{
    m_totals = MonthlyTotals {};
    showTotals();
    LstNewMem->clear();
    cmdReset->setEnabled(false);
    m_context.ReportResetFlag = QStringLiteral("True");
    if (const Status reset = ResetMonthlyReport(*m_services.settings); !reset) {
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("The report could not be reset.\nSETTINGS NOT SAVED: ") + reset.error(),
            MsgIcon::Critical, Ok);
        // What is shown must be what is stored; the button stays for another try.
        m_totals = LoadMonthlyTotals(*m_services.settings);
        showTotals();
        LstNewMem->addItems(NewMemberEntries(*m_services.settings));
        cmdReset->setEnabled(true);
        m_context.ReportResetFlag
            = m_services.settings->get(ReportKeys::Section(), ReportKeys::ResetReport());
    }
}

void FrmReport::cmdClose_Click()
{
    close();
}
