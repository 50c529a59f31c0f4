#include "printmenu.h"

#include "platform/services.h"
#include "platform/ui/menuentry.h"
#include "printing/textprint.h"
#include "reports/reporttext.h"

#include <QAction>
#include <QDir>
#include <QMenu>

PrintMenu::PrintMenu(
    Services &services, const QString &userDataFolder, QMenu *fileMenu, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_userDataFolder(userDataFolder)
    , m_window(window)
{
    QMenu *print = Named(fileMenu->addMenu(QStringLiteral("&Print...")), "mnuFilePrint");
    AddEntry(print, "mnuFilePrintPageSetup", QStringLiteral("&Page Setup"), this,
        &PrintMenu::mnuFilePrintPageSetup_Click);
    AddEntry(print, "mnuFilePrintFont", QStringLiteral("&Font"), this,
        &PrintMenu::mnuFilePrintFont_Click);
    AddEntry(print, "mnuFilePrintInstructions", QStringLiteral("&Instructions"), this,
        &PrintMenu::mnuFilePrintInstructions_Click);
    AddEntry(print, "mnuFilePrintPreamble", QStringLiteral("P&reamble"), this,
        &PrintMenu::mnuFilePrintPreamble_Click);
    // Without a printer there is nothing to print on; Save as PDF stays.
    print->setEnabled(m_services.printer->count() > 0);
    // A copy of the texts for an operator without a printer.
    QMenu *pdf = Named(fileMenu->addMenu(QStringLiteral("Save as P&DF...")), "mnuFilePdf");
    AddEntry(pdf, "mnuFilePdfInstructions", QStringLiteral("&Instructions"), this,
        &PrintMenu::mnuFilePdfInstructions_Click);
    AddEntry(pdf, "mnuFilePdfPreamble", QStringLiteral("P&reamble"), this,
        &PrintMenu::mnuFilePdfPreamble_Click);
}

void PrintMenu::mnuFilePrintPageSetup_Click()
{
    Printer &printer = *m_services.printer;
    if (printer.count() == 0)
        return;
    if (!printer.setUp(m_window))
        m_services.dialogs->message(
            m_window, QString(), PrinterErrorText(), MsgIcon::Warning, Ok | Cancel);
}

void PrintMenu::mnuFilePrintFont_Click()
{
    Printer &printer = *m_services.printer;
    if (printer.count() == 0)
        return;
    if (const std::optional<QFont> chosen
        = m_services.dialogs->chooseFont(m_window, printer.font()))
        printer.setFont(*chosen);
}

void PrintMenu::mnuFilePrintInstructions_Click()
{
    if (m_services.printer->count() > 0)
        printReference(InstructionsFileName(), QString());
}

void PrintMenu::mnuFilePrintPreamble_Click()
{
    if (m_services.printer->count() > 0)
        printReference(PreambleFileName(), QString());
}

void PrintMenu::mnuFilePdfInstructions_Click()
{
    choosePdfFor(InstructionsFileName());
}

void PrintMenu::mnuFilePdfPreamble_Click()
{
    choosePdfFor(PreambleFileName());
}

void PrintMenu::choosePdfFor(const QString &fileName)
{
    const QString suggested = QDir::homePath() + QLatin1Char('/')
        + QString(fileName).replace(QStringLiteral(".txt"), QStringLiteral(".pdf"));
    const QString pdf = m_services.dialogs->chooseSaveFile(
        m_window, QStringLiteral("SAVE AS PDF"), suggested, QStringLiteral("PDF files (*.pdf)"));
    if (pdf.isEmpty())
        emit done();
    else
        printReference(fileName, pdf);
}

void PrintMenu::printReference(const QString &fileName, const QString &pdfFile)
{
    Printer &printer = *m_services.printer;
    if (const Status printed = PrintReferenceText(printer, m_userDataFolder + fileName); !printed) {
        emit statusLine(printed.error());
        m_services.sounds->play(SoundName::Notify());
        emit done();
        return;
    }
    const bool sent
        = pdfFile.isEmpty() ? printer.endDocument() : printer.saveDocumentAsPdf(pdfFile);
    if (!sent) {
        emit statusLine((pdfFile.isEmpty() ? QStringLiteral("NOT PRINTED: ")
                                           : QStringLiteral("PDF NOT SAVED: "))
            + printer.errorString());
        m_services.sounds->play(SoundName::Notify());
    } else if (!pdfFile.isEmpty()) {
        emit statusLine(QStringLiteral("SAVED AS PDF: ") + pdfFile);
    }
    emit done();
}
