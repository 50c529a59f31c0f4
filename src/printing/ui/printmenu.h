#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QWidget;
struct Services;

// File > Print (page setup, the printer font, the reference texts) and File > Save as PDF,
// the same texts for an operator without a printer.
class PrintMenu : public QObject
{
    Q_OBJECT
public:
    // Adds both entries to the File menu; the texts are read from the user data folder.
    PrintMenu(Services &services, const QString &userDataFolder, QMenu *fileMenu, QWidget *window);

signals:
    void statusLine(const QString &text);
    void done();

private:
    void choosePdfFor(const QString &fileName);
    // Prints a reference text of the user data folder on the printer, or into the PDF file
    // when one is given.
    void printReference(const QString &fileName, const QString &pdfFile);

    Services &m_services;
    const QString &m_userDataFolder;
    QWidget *m_window;

    void mnuFilePrintPageSetup_Click();
    void mnuFilePrintFont_Click();
    void mnuFilePrintInstructions_Click();
    void mnuFilePrintPreamble_Click();
    void mnuFilePdfInstructions_Click();
    void mnuFilePdfPreamble_Click();
};
