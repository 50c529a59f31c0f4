#pragma once

#include <memory>

class QPagedPaintDevice;
class QPrinter;

#include "platform/qtwebclient.h"
#include "platform/services.h"

#include <QObject>

class QSoundEffect;

// The production forms of the services.

class QtDialogs : public Dialogs
{
public:
    MsgButton message(QWidget *parent, const QString &title, const QString &text, MsgIcon icon,
        MsgButtons buttons, MsgButton defaultButton = NoButton) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &suggested,
        const QString &filter) override;
    QString chooseFolder(
        QWidget *parent, const QString &title, const QString &startFolder) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startFolder,
        const QString &filter) override;
    int execModal(QDialog *dialog) override;
    void popupMenu(QMenu *menu, const QPoint &at) override;
};

class QtSounds : public QObject, public Sounds
{
public:
    explicit QtSounds(QObject *parent = nullptr);
    void play(const QString &sound) override;

private:
    QList<QSoundEffect *> m_playing;
};

class DesktopShell : public Shell
{
public:
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
};

// Win32 on Windows; elsewhere the lock keys cannot be set and nothing happens.
class SystemKeyboard : public Keyboard
{
public:
    bool canSetLocks() const override;
    bool capsLockOn() const override;
    bool numLockOn() const override;
    void pressCapsLock() override;
    void pressNumLock() override;
};

class PrimaryScreen : public Screen
{
public:
    QSize size() const override;
};

class QtPrinter : public Printer
{
public:
    QtPrinter();
    // Prints into a PDF file instead of a printer.
    explicit QtPrinter(const QString &pdfFile);
    ~QtPrinter() override;
    int count() const override;
    QFont font() const override { return m_font; }
    void setFont(const QFont &font) override { m_font = font; }
    void printLine(const QList<PrintCell> &cells) override;
    bool endDocument() override;
    bool saveDocumentAsPdf(const QString &file) override;
    QString errorString() const override { return m_error; }
    bool setUp(QWidget *parent) override;

private:
    // The default printer with the set-up chosen this run.
    QPrinter &printer();
    bool render(QPagedPaintDevice &device, int resolution);

    QString m_pdfFile;
    QFont m_font;
    QList<QList<PrintCell>> m_lines;
    QString m_error;
    std::unique_ptr<QPrinter> m_printer;
    mutable int m_count = -1; // printers installed, counted at the first question
};

// Everything in its production form, from the environment (VORQ_ROOT, VORQ_NOW).
Services MakeProductionServices();
// The same with the program root and start moment given (--root, --now); an empty root and
// an invalid moment fall back to the environment.
Services MakeProductionServices(const QString &root, const QDateTime &now);
