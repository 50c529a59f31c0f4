#include "startupcontext.h"

#include "platform/services.h"
#include "stationdb/folders.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

void FillStartupContext(StartupContext &context, Services &services)
{
    context.ProgramFolder = services.paths.programFolder();
    context.DataFolder = services.paths.dataFolder();
    context.countyTable.setDataFolder(context.DataFolder);
    context.countyTable.FillCountyFileNames();
    context.UserDataFolder = InitUserDataFolder(services.paths);

    const QSize screen = services.screen->size();
    context.ScreenWidth = screen.width();
    context.ScreenHeight = screen.height();

    const QDate today = services.clock->today();
    const QString mmddyyyy = MmDdYyyy(today);
    context.TodayMonth = mmddyyyy.mid(0, 2);
    context.TodayDay = mmddyyyy.mid(3, 2);
    context.TodayYear = mmddyyyy.right(4);
    context.WeekdayNumber = today.dayOfWeek() % 7 + 1;
    context.WeekdayName = EnglishDayName(today);

    SettingsStore &settings = *services.settings;
    context.UserName = settings.get(QStringLiteral("Settings"), QStringLiteral("User Name"));
    context.NetCtlName = settings.get(QStringLiteral("NetCtl"), context.WeekdayName);
    context.NetCtlCall = settings.get(QStringLiteral("NetCtlCall"), context.WeekdayName);
    context.NetMgrName = settings.get(QStringLiteral("Settings"), QStringLiteral("NetMgr"));
    context.NetMgrCall = settings.get(QStringLiteral("Settings"), QStringLiteral("NetMgrCall"));
    context.WindowsVersionName = GetWindowsVersionName();
}
