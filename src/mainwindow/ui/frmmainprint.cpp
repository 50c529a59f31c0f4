#include "frmmain.h"

#include "platform/services.h"
#include "printing/textprint.h"
#include "reports/reporttext.h"
#include "startup/startupcontext.h"

#include <QDir>

// The printing of the main window's reference texts (File > Print, File > Save as PDF).

void FrmMain::mnuFilePrintPageSetup_Click()
{
    Printer &printer = *m_services.printer;
    if (printer.count() == 0)
        return;
    if (!printer.setUp(this))
        m_services.dialogs->message(
            this, QString(), PrinterErrorText(), MsgIcon::Warning, Ok | Cancel);
}

void FrmMain::mnuFilePrintFont_Click()
{
    Printer &printer = *m_services.printer;
    if (printer.count() == 0)
        return;
    if (const std::optional<QFont> chosen = m_services.dialogs->chooseFont(this, printer.font()))
        printer.setFont(*chosen);
}

void FrmMain::mnuFilePrintInstructions_Click()
{
    if (m_services.printer->count() > 0)
        printReference(InstructionsFileName(), QString());
}

void FrmMain::mnuFilePrintPreamble_Click()
{
    if (m_services.printer->count() > 0)
        printReference(PreambleFileName(), QString());
}

void FrmMain::mnuFilePdfInstructions_Click()
{
    choosePdfFor(InstructionsFileName());
}

void FrmMain::mnuFilePdfPreamble_Click()
{
    choosePdfFor(PreambleFileName());
}

void FrmMain::choosePdfFor(const QString &fileName)
{
    const QString suggested = QDir::homePath() + QLatin1Char('/')
        + QString(fileName).replace(QStringLiteral(".txt"), QStringLiteral(".pdf"));
    const QString pdf = m_services.dialogs->chooseSaveFile(
        this, QStringLiteral("SAVE AS PDF"), suggested, QStringLiteral("PDF files (*.pdf)"));
    if (pdf.isEmpty())
        Change_Caret();
    else
        printReference(fileName, pdf);
}

void FrmMain::printReference(const QString &fileName, const QString &pdfFile)
{
    Printer &printer = *m_services.printer;
    if (const Status printed = PrintReferenceText(printer, m_context.UserDataFolder + fileName);
        !printed) {
        setStatusLine(printed.error());
        m_services.sounds->play(SoundName::Notify());
        Change_Caret();
        return;
    }
    const bool sent
        = pdfFile.isEmpty() ? printer.endDocument() : printer.saveDocumentAsPdf(pdfFile);
    if (!sent) {
        setStatusLine((pdfFile.isEmpty() ? QStringLiteral("NOT PRINTED: ")
                                         : QStringLiteral("PDF NOT SAVED: "))
            + printer.errorString());
        m_services.sounds->play(SoundName::Notify());
    } else if (!pdfFile.isEmpty()) {
        setStatusLine(QStringLiteral("SAVED AS PDF: ") + pdfFile);
    }
    Change_Caret();
}
