#pragma once

#include "stationdb/result.h"

#include <QList>
#include <QString>

class CountyTable;
class SettingsStore;
struct StartupContext;

// Older installations kept the station files in the program folder. When the data folder is
// missing it is created and the files of table positions 1 to 116 are moved into it, each on
// its own, so one missing file does not stop the others. An existing data folder is left
// alone. Returns the number of files moved, or -1 when the folder could not be made.
int MigrateStationFiles(
    const QString &programFolder, const QString &dataFolder, const CountyTable &table);

// A brand-new per-user data folder gets the bundled texts, sounds and pictures, and the
// program folder its ding, as an installer would. False when the folder already existed.
bool PrepareUserDataFolder(const QString &userDataFolder, const QString &programFolder);

struct RosterEntry
{
    QString day;
    QString name;
    QString call;
};

// The roster a first start writes: one made-up operator per weekday, Sunday first; the net
// manager is Thursday's operator.
QList<RosterEntry> DefaultRoster();
RosterEntry DefaultNetManager();

// Writes the default roster when NetCtl/Sunday is empty, in one write; an error when that
// write fails.
Status SeedRoster(SettingsStore &settings);

// The reset reminder concerns only today's net control, who keeps the net report. Reads the
// stored flag into the context (an empty flag counts as reset and is stored as such) and
// returns whether the operator is to be warned: days 1 to 7, flag not "True", check-ins
// stored for the month.
// A flag that could not be stored is told through saved.
bool CheckReportReset(StartupContext &context, SettingsStore &settings, Status &saved);

// On day 8 a report reset for the new month is due again: a flag in memory of "True" becomes
// "False", in memory and in the store. Only a flag read by the reminder counts.
bool ClearReportResetOnDay8(StartupContext &context, SettingsStore &settings, Status &saved);

QString ResetReminderTitle();
QString ResetReminderText();
