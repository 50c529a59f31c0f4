#include "startupsteps.h"

#include "startupcontext.h"
#include "stationdb/countytable.h"
#include "stationdb/folders.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"
#include "supportfiles.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStartup, "vorq.startup")

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");
} // namespace

int MigrateStationFiles(
    const QString &programFolder, const QString &dataFolder, const CountyTable &table)
{
    if (IsFolder(dataFolder))
        return 0;
    if (!QDir().mkpath(dataFolder)) {
        qCWarning(lcStartup) << "cannot create the data folder" << dataFolder;
        return -1;
    }
    int moved = 0;
    for (int position = CountyTable::First; position <= CountyTable::Last; ++position) {
        const QString name = table.fileName(position);
        if (name.isEmpty())
            continue;
        const QString source = programFolder + name;
        if (!QFile::exists(source))
            continue;
        if (QFile::rename(source, dataFolder + name))
            ++moved;
        else
            qCWarning(lcStartup) << "cannot move" << source;
    }
    return moved;
}

bool PrepareUserDataFolder(const QString &userDataFolder, const QString &programFolder)
{
    if (userDataFolder.isEmpty() || IsFolder(userDataFolder))
        return false;
    if (const Status installed = InstallSupportFiles(userDataFolder); !installed)
        qCWarning(lcStartup) << "support files:" << installed.error();
    if (const Status installed = InstallProgramFiles(programFolder); !installed)
        qCWarning(lcStartup) << "program files:" << installed.error();
    return true;
}

QList<RosterEntry> DefaultRoster()
{
    // Invented people with calls of the right shape, to be replaced by the net's own.
    return {
        { QStringLiteral("Sunday"), QStringLiteral("ARLO"), QStringLiteral("KD4ARL") },
        { QStringLiteral("Monday"), QStringLiteral("BEATRIX"), QStringLiteral("KE4BTX") },
        { QStringLiteral("Tuesday"), QStringLiteral("CYRUS"), QStringLiteral("KF4CYR") },
        { QStringLiteral("Wednesday"), QStringLiteral("DELPHA"), QStringLiteral("KG4DLP") },
        { QStringLiteral("Thursday"), QStringLiteral("EZRA"), QStringLiteral("KJ4EZR") },
        { QStringLiteral("Friday"), QStringLiteral("FLORINE"), QStringLiteral("KK4FLO") },
        { QStringLiteral("Saturday"), QStringLiteral("GIDEON"), QStringLiteral("KM4GDN") },
    };
}

RosterEntry DefaultNetManager()
{
    return DefaultRoster().at(4);
}

Status SeedRoster(SettingsStore &settings)
{
    if (!settings.get(QStringLiteral("NetCtl"), QStringLiteral("Sunday")).isEmpty())
        return Status::Ok();
    // One batch: NetCtl/Sunday is what says the roster is seeded, so it must never be stored
    // without the rest of the week.
    QList<SettingChange> changes { SettingChange::Delete(
        QStringLiteral("NetCtl"), QStringLiteral("Sunday AM")) };
    for (const RosterEntry &entry : DefaultRoster()) {
        changes << SettingChange::Set(QStringLiteral("NetCtl"), entry.day, entry.name)
                << SettingChange::Set(QStringLiteral("NetCtlCall"), entry.day, entry.call);
    }
    const RosterEntry manager = DefaultNetManager();
    changes << SettingChange::Set(
        QStringLiteral("Settings"), QStringLiteral("NetMgr"), manager.name)
            << SettingChange::Set(
                   QStringLiteral("Settings"), QStringLiteral("NetMgrCall"), manager.call);
    return settings.saveAll(changes);
}

bool CheckReportReset(StartupContext &context, SettingsStore &settings, Status &saved)
{
    // Exact text: the net control's name as stored against the user name as stored.
    if (context.UserName != context.NetCtlName)
        return false;
    context.ReportResetFlag = settings.get(QStringLiteral("Report"), QStringLiteral("ResetReport"));
    if (context.ReportResetFlag.isEmpty()) {
        context.ReportResetFlag = kTrue;
        saved = settings.save(QStringLiteral("Report"), QStringLiteral("ResetReport"), kTrue);
    }
    const int day = LeadingInt(context.TodayDay);
    return context.ReportResetFlag != kTrue && day >= 1 && day <= 7
        && LeadingInt(settings.get(QStringLiteral("Report"), QStringLiteral("Checkins"))) > 0;
}

bool ClearReportResetOnDay8(StartupContext &context, SettingsStore &settings, Status &saved)
{
    if (LeadingInt(context.TodayDay) != 8 || context.ReportResetFlag != kTrue)
        return false;
    context.ReportResetFlag = kFalse;
    saved = settings.save(QStringLiteral("Report"), QStringLiteral("ResetReport"), kFalse);
    return true;
}

QString ResetReminderTitle()
{
    return QStringLiteral("RESET NET REPORT");
}

QString ResetReminderText()
{
    return QStringLiteral("Your Net Report for last month has not been reset.\r\n"
                          "Please reset your report before you save todays report!");
}
