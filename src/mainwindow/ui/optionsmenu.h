#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;
struct Services;
struct StartupContext;

// The Options menu: its checkable entries, stored under Options as "True" or "False" the
// moment one is clicked, and the QRZ login.
class OptionsMenu : public QObject
{
    Q_OBJECT
public:
    // Fills the menu; window is the parent of the QRZ login.
    OptionsMenu(Services &services, StartupContext &context, QMenu *menu, QWidget *window);

    bool retainCheckmark() const;
    bool dingDisabled() const;
    bool preambleDisabled() const;

    // Shows the stored options on the entries; one not stored yet takes its default and is
    // stored so. Returns the failure of that write, if any.
    QString applyStored();

signals:
    void statusLine(const QString &text);
    // Retain Checkmark or Disable Ding now reads otherwise (or the stored options were shown).
    void lineOptionsChanged();
    // Disable Preamble Window changed: the window is laid out again.
    void preambleToggled();
    void done();

private:
    void mnuOptionsRetainCheckmark_Click();
    void mnuOptionsDisableDing_Click();
    void mnuOptionsChangeQRZLogin_Click();
    void mnuOptionsDisablePreambleWindow_Click();
    // Saves an option as its entry now shows it; false, with the entry turned back and the
    // status line telling why, when the store cannot be written.
    bool saveOption(QAction *option, const QString &key);

    Services &m_services;
    StartupContext &m_context;
    QWidget *m_window;
    QAction *m_retainCheckmark;
    QAction *m_disableDing;
    QAction *m_changeQrzLogin;
    QAction *m_disablePreamble;
};
