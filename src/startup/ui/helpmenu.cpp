#include "helpmenu.h"

#include "platform/named.h"
#include "platform/ui/onewindow.h"
#include "startup/ui/frmabout.h"
#include "startup/ui/frminstr.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

HelpMenu::HelpMenu(Services &services, StartupContext &context, QMenuBar *bar, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_window(window)
{
    QMenu *help = Named(bar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    connect(Named(help->addAction(QStringLiteral("&Instructions")), "mnuHelpInstructions"),
        &QAction::triggered, this, &HelpMenu::mnuHelpInstructions_Click);
    connect(Named(bar->addAction(QStringLiteral("A&bout")), "mnuAbout"), &QAction::triggered, this,
        &HelpMenu::mnuAbout_Click);
}

void HelpMenu::mnuHelpInstructions_Click()
{
    OneWindow(m_instructions, [this] { return new FrmInstr(m_services, m_context, m_window); });
}

void HelpMenu::mnuAbout_Click()
{
    OneWindow(m_about, [this] { return new FrmAbout(m_services, m_context, m_window); });
}
