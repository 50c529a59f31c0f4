#pragma once

#include "platform/services.h"
#include "startup/ui/frmsplash.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QQueue>
#include <functional>

// A control, menu or menu entry of a window, found by its object name. A name that finds
// nothing ends the test run here, naming what was looked for, rather than crashing later.
template <class T> T *named(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// Test doubles for what faces a person or the clock.

class ManualClock : public Clock
{
public:
    explicit ManualClock(const QDateTime &at)
        : m_now(at)
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &at) { m_now = at; }
    void setDate(const QDate &date) { m_now.setDate(date); }
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};

struct DialogRecord
{
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = NoButton;
    MsgButton defaultButton = NoButton;
};

// The focus leaves a box as Tab or a click elsewhere would take it (its handlers run, even
// in a window that is not shown).
inline void LeaveBox(QWidget *box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

// A click on a list's current line, or on the line of that text.
inline void ClickCurrentLine(QListWidget *list)
{
    emit list->itemClicked(list->currentItem());
}
inline void EmitLineClick(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no line %s in %s", qPrintable(text), qPrintable(list->objectName()));
    list->setCurrentItem(found.first());
    emit list->itemClicked(found.first());
}

// Answers every dialog from a script and records what was asked. With the script empty a
// message gets Ok, or Yes when it offers no Ok; pickers are cancelled; modal windows are
// rejected.
class ScriptedDialogs : public Dialogs
{
public:
    MsgButton message(QWidget *parent, const QString &title, const QString &text, MsgIcon icon,
        MsgButtons buttons, MsgButton defaultButton = NoButton) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    QString chooseFolder(
        QWidget *parent, const QString &title, const QString &startFolder) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &suggested,
        const QString &filter) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startFolder,
        const QString &filter) override;
    int execModal(QDialog *dialog) override;
    // Runs menus on each menu shown (trigger an entry, or exec it for real keys); without
    // it a menu waits for no one and nothing is chosen.
    void popupMenu(QMenu *menu, const QPoint &at) override;

    QQueue<MsgButton> answers;
    QQueue<std::optional<QFont>> fonts;
    QQueue<std::optional<QColor>> colors;
    QQueue<QString> folders;
    QQueue<QString> saveFiles;
    QQueue<QString> openFiles;
    QList<QFont> fontsOffered; // the initial font of each font picker shown
    // Each runs on the shown window (fill boxes, press buttons) and returns its result.
    QQueue<std::function<int(QDialog *)>> modalScripts;
    std::function<void(QMenu *, const QPoint &)> menus;

    QList<DialogRecord> messages;
    QStringList modalWindows; // objectName of each window run
};

class RecordingSounds : public Sounds
{
public:
    void play(const QString &sound) override { played << sound; }
    QStringList played;
};

class RecordingShell : public Shell
{
public:
    bool openUrl(const QUrl &url) override
    {
        urls << url;
        return true;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        programs << (QStringList { program } + arguments);
        return true;
    }
    QList<QUrl> urls;
    QList<QStringList> programs;
};

class RecordingKeyboard : public Keyboard
{
public:
    bool canSetLocks() const override { return settable; }
    bool capsLockOn() const override { return caps; }
    bool numLockOn() const override { return num; }
    void pressCapsLock() override
    {
        caps = !caps;
        ++capsPresses;
    }
    void pressNumLock() override
    {
        num = !num;
        ++numPresses;
    }
    bool settable = false;
    bool caps = false;
    bool num = true;
    int capsPresses = 0;
    int numPresses = 0;
};

class FixedScreen : public Screen
{
public:
    explicit FixedScreen(QSize size = QSize(1280, 1024))
        : pixels(size)
    {
    }
    QSize size() const override { return pixels; }
    QSize pixels;
};

class RecordingPrinter : public Printer
{
public:
    int count() const override { return printers; }
    QFont font() const override { return m_font; }
    void setFont(const QFont &font) override { m_font = font; }
    void printLine(const QList<PrintCell> &cells) override { current << cells; }
    bool endDocument() override
    {
        if (failNext) {
            failNext = false;
            current.clear();
            return false;
        }
        documents << current;
        documentFonts << m_font;
        current.clear();
        return true;
    }
    bool saveDocumentAsPdf(const QString &file) override
    {
        pdfFiles << file;
        return endDocument();
    }
    QString errorString() const override { return QStringLiteral("printer jammed"); }
    bool setUp(QWidget *) override
    {
        ++setUps;
        return !failSetUp;
    }

    int printers = 1;
    bool failNext = false;
    bool failSetUp = false;
    int setUps = 0;
    QStringList pdfFiles; // the file of each document saved as PDF
    QList<QList<PrintCell>> current;
    QList<QList<QList<PrintCell>>> documents;
    QList<QFont> documentFonts; // the font each document was printed in

private:
    QFont m_font;
};

// The load sequence's steps of other parts, each as the test wants it (unset: nothing, and
// the update check lets the start go on).
class ScriptedSplashSteps : public SplashSteps
{
public:
    void askToResume() override
    {
        if (resume)
            resume();
    }
    bool checkForUpdate() override { return update ? update() : true; }
    void offerQrzLogin() override
    {
        if (qrz)
            qrz();
    }
    std::function<void()> resume;
    std::function<bool()> update;
    std::function<void()> qrz;
};
