#pragma once

#include "clock.h"
#include "stationdb/paths.h"
#include "stationdb/result.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QDialog;
class QMenu;
class SettingsStore;

// ---- Dialogs: every message box, question and picker that faces the operator ----

enum class MsgIcon { None, Information, Warning, Critical, Question };

enum MsgButton {
    NoButton = 0,
    Ok = 0x1,
    Cancel = 0x2,
    Yes = 0x4,
    No = 0x8,
};
using MsgButtons = int;

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // A modal message box; returns the button pressed (Cancel when closed otherwise).
    // The default button is the one Enter presses (the first offered when none is named).
    virtual MsgButton message(QWidget *parent, const QString &title, const QString &text,
        MsgIcon icon, MsgButtons buttons, MsgButton defaultButton = NoButton)
        = 0;
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &startFolder)
        = 0;
    // The name of a file to write; empty when cancelled.
    virtual QString chooseSaveFile(
        QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
        = 0;
    // The name of an existing file to read; empty when cancelled.
    virtual QString chooseOpenFile(
        QWidget *parent, const QString &title, const QString &startFolder, const QString &filter)
        = 0;
    // Runs one of the program's own modal windows; returns its result code.
    virtual int execModal(QDialog *dialog) = 0;
    // A context menu at a point of the screen, until an entry is chosen or it is left.
    virtual void popupMenu(QMenu *menu, const QPoint &at) = 0;

    // Shorthands.
    void inform(QWidget *parent, const QString &title, const QString &text)
    {
        message(parent, title, text, MsgIcon::Information, Ok);
    }
    bool askYesNo(QWidget *parent, const QString &title, const QString &text)
    {
        return message(parent, title, text, MsgIcon::Question, Yes | No) == Yes;
    }
};

// ---- Sounds: started asynchronously, never awaited ----

namespace SoundName {
// The platform's system sounds, which the program plays by name; everything else is played
// by its file path.
inline QString Notify()
{
    return QStringLiteral("notify");
}
inline QString Tada()
{
    return QStringLiteral("tada");
}
} // namespace SoundName

class Sounds
{
public:
    virtual ~Sounds() = default;
    // A system sound name (SoundName) or the path of a WAV file; a missing file is silent.
    virtual void play(const QString &sound) = 0;
};

// ---- Shell: web pages and other programs ----

class Shell
{
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QUrl &url) = 0;
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
};

// ---- WebClient: an HTTP(S) GET bounded in time and size ----

// What to fetch and within which bounds.
struct WebRequest
{
    QUrl url;
    // No byte for this long ends the request: a slow line that keeps sending goes on.
    int stallMs = 5000;
    // The whole transfer at most this long; 0: only the stall bound.
    int totalMs = 0;
    // An answer larger than this (announced or arriving) is refused without being read whole.
    qint64 maxBytes = 1024 * 1024;
    // When set, the body is written into this file as it arrives instead of being kept.
    QString file;
    // Told the bytes received so far and the size announced (-1 when none).
    std::function<void(qint64 received, qint64 total)> progress;
};

// The answer of a GET: its body, or why there is none. No text of it ever holds the query
// of the address (it may carry a password or a session key).
struct WebAnswer
{
    QByteArray body;
    Status failure; // why there is no answer
    int status = 0; // the HTTP status when the server answered
    bool timedOut = false; // no (complete) answer within the bounds
    bool tooLarge = false; // refused for its size
    bool ok() const { return failure.ok(); }
};

class WebClient
{
public:
    virtual ~WebClient() = default;
    // The windows keep painting meanwhile, but no key or click reaches them until the answer
    // is in. Only https is asked for, or http to a loopback address (tests); anything else,
    // and every redirect that leaves https or the loopback host, is refused.
    virtual WebAnswer get(const WebRequest &request) = 0;
    WebAnswer get(const QUrl &url, int timeoutMs)
    {
        WebRequest request;
        request.url = url;
        request.stallMs = timeoutMs;
        return get(request);
    }
};

// Why an address is not one the program asks: empty when it is https, or http to a host
// given as a loopback address (no name is looked up). The text never holds the query.
QString RefusedWebAddress(const QUrl &url);
// Why a redirect from one address to another is not followed: empty when the target is
// allowed and stays on https, or on the loopback host it came from.
QString RefusedRedirect(const QUrl &from, const QUrl &to);

// ---- Keyboard: the lock keys ----

class Keyboard
{
public:
    virtual ~Keyboard() = default;
    // False where the platform gives no way to read or set the lock keys.
    virtual bool canSetLocks() const = 0;
    virtual bool capsLockOn() const = 0;
    virtual bool numLockOn() const = 0;
    // One press and release of the key.
    virtual void pressCapsLock() = 0;
    virtual void pressNumLock() = 0;
};

// Brings the key to the wanted state; a key already there gets no key event.
void SetCapsLock(Keyboard &keyboard, bool on);
void SetNumLock(Keyboard &keyboard, bool on);

// ---- Screen ----

class Screen
{
public:
    virtual ~Screen() = default;
    virtual QSize size() const = 0;
};

// ---- Printer ----

struct PrintCell
{
    int column = 0; // 1-based character column where the text starts; 0 = straight after
    QString text;
    bool operator==(const PrintCell &) const = default;
};

class Printer
{
public:
    virtual ~Printer() = default;
    // How many printers are installed.
    virtual int count() const = 0;
    virtual QFont font() const = 0;
    virtual void setFont(const QFont &font) = 0;
    // One line of the current document (an empty list prints an empty line).
    virtual void printLine(const QList<PrintCell> &cells) = 0;
    // Sends the document to the printer. False when printing failed.
    virtual bool endDocument() = 0;
    // Writes the document into a PDF file instead; for an operator without a printer.
    virtual bool saveDocumentAsPdf(const QString &file) = 0;
    virtual QString errorString() const { return QString(); }
    // The printer set-up dialog (printer, paper, orientation); false when it failed, with
    // errorString() telling why. A cancelled dialog changes nothing and is no failure.
    virtual bool setUp(QWidget *parent) = 0;

    void printText(const QString &text) { printLine({ PrintCell { 0, text } }); }
};

// ---- The bundle handed to every window ----

struct Services
{
    Paths paths;
    std::shared_ptr<Clock> clock;
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<Dialogs> dialogs;
    std::shared_ptr<Sounds> sounds;
    std::shared_ptr<Shell> shell;
    std::shared_ptr<Keyboard> keyboard;
    std::shared_ptr<Screen> screen;
    std::shared_ptr<Printer> printer;
    std::shared_ptr<WebClient> web;
};
