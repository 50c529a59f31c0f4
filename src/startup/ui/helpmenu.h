#pragma once

#include <QObject>
#include <QPointer>

class FrmAbout;
class FrmInstr;
class QMenuBar;
class QWidget;
struct Services;
struct StartupContext;

// Help > Instructions and About, at the end of the menu bar: each one window, not modal,
// so the operator logs stations while reading.
class HelpMenu : public QObject
{
    Q_OBJECT
public:
    HelpMenu(Services &services, StartupContext &context, QMenuBar *bar, QWidget *window);

private:
    Services &m_services;
    StartupContext &m_context;
    QWidget *m_window;
    QPointer<FrmInstr> m_instructions;
    QPointer<FrmAbout> m_about;

    void mnuHelpInstructions_Click();
    void mnuAbout_Click();
};
