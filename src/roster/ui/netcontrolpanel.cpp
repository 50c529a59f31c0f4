#include "netcontrolpanel.h"

#include "platform/named.h"
#include "platform/services.h"
#include "platform/ui/announcer.h"
#include "platform/ui/onewindow.h"
#include "roster/rosterschedule.h"
#include "roster/ui/frmnetctl.h"
#include "session/idreminder.h"
#include "session/netsession.h"
#include "session/sessionreplay.h"
#include "session/ui/netinfoframe.h"
#include "startup/startupcontext.h"
#include "stationdb/settingsstore.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

NetControlPanel::NetControlPanel(Services &services, StartupContext &context, NetSession &session,
    NetInfoFrame &frame, QLabel *idTime, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_session(session)
    , m_frame(frame)
    , m_idTime(idTime)
    , m_window(window)
    , m_idTimer(Named(new QTimer(this), "IDTimer"))
    , m_blink(Named(new QTimer(this), "Timer1"))
{
    m_idTimer->setInterval(1000);
    m_blink->setInterval(200);
    connect(m_idTimer, &QTimer::timeout, this, &NetControlPanel::IDTimer_Timer);
    connect(m_blink, &QTimer::timeout, this, &NetControlPanel::Timer1_Timer);
    connect(&m_frame, &NetInfoFrame::changeClicked, this, &NetControlPanel::openRoster);
}

void NetControlPanel::showTonight()
{
    setNetManagerLabel(m_context.NetMgrName + QStringLiteral("   ") + m_context.NetMgrCall);
    m_frame.showNetControl(m_context.NetCtlName + QStringLiteral("   ") + m_context.NetCtlCall);
    if (m_context.AltNetControlChosen)
        m_frame.showNetControlRole(true, false);
    if (m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("User Name"))
        == m_context.NetCtlName)
        m_idTimer->start();
}

void NetControlPanel::resumeNetControl(const SessionState &s)
{
    if (!s.netControlChanged)
        return; // the roster's net control, as the load has shown it
    const QString label = NetInfoLabel(s.netControlName, s.netControlCall);
    m_frame.showNetControl(label);
    showNetControlChoice(!s.alternateNetControl);
    setIdReminderEnabled(IdReminderFor(
        label, m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("User Name"))));
}

void NetControlPanel::IDTimer_Timer()
{
    switch (ClassifyIdTick(m_services.clock->now().time(), m_blink->isActive())) {
    case IdTick::Start:
        m_services.sounds->play(m_context.UserDataFolder + QStringLiteral("IDTime.wav"));
        m_frame.announce(m_idTime->text());
        if (m_context.ScreenWidth == 1280 && m_context.ScreenHeight == 960) {
            QFont f = m_idTime->font();
            f.setPointSize(28);
            m_idTime->setFont(f);
        }
        m_blink->start();
        break;
    case IdTick::End:
        m_blink->stop();
        m_idTime->hide();
        break;
    case IdTick::None:
        break;
    }
}

void NetControlPanel::Timer1_Timer()
{
    m_idTime->setVisible(m_idTime->isHidden());
}

void NetControlPanel::openRosterModal()
{
    if (m_roster) {
        OneWindow(m_roster, [] { return nullptr; });
        return;
    }
    FrmNetCtl roster(m_services, m_context, *this, m_window);
    roster.NetCtlFromMenu = true;
    m_services.dialogs->execModal(&roster);
}

void NetControlPanel::openRoster()
{
    // Not modal: the net goes on while the roster is open.
    OneWindow(m_roster, [this] { return new FrmNetCtl(m_services, m_context, *this, m_window); });
}

QString NetControlPanel::netManagerLabel() const
{
    return m_netManager;
}

void NetControlPanel::setNetControlLabel(const QString &text)
{
    m_frame.showNetControl(text);
}

void NetControlPanel::setNetManagerLabel(const QString &text)
{
    m_netManager = text;
    m_frame.showNetManager(text);
}

void NetControlPanel::netControlChosen(const QString &name, const QString &call, bool todaysRegular)
{
    m_session.netControlChosen(name, call, !todaysRegular);
    showNetControlChoice(todaysRegular);
    m_frame.announce(m_frame.netControlHeading() + u' ' + name + u' ' + call);
}

void NetControlPanel::showNetControlChoice(bool todaysRegular)
{
    m_frame.showNetControlRole(!todaysRegular, true);
    m_context.AltNetControlChosen = true;
}

void NetControlPanel::setIdReminderEnabled(bool enabled)
{
    if (enabled)
        m_idTimer->start();
    else
        m_idTimer->stop();
}
