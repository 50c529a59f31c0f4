#pragma once

#include "stationdb/result.h"
#include "stationdb/settingsstore.h"

#include <QString>
#include <QStringList>

// The weekday names, Sunday first: the keys of the NetCtl and NetCtlCall sections.
QStringList RosterDayNames();

// The day box takes a weekday name in any letter case and gives it capitalised ("Tuesday");
// anything else, abbreviations included, gives the empty text.
QString NormalizeDayName(const QString &text);

// Sunday's to Saturday's line: name + " " + call as stored.
QStringList NetControlLines(const SettingsStore &settings);

// A roster line taken apart at its first blank.
struct RosterLine
{
    QString name;
    QString call;
};
RosterLine SplitRosterLine(const QString &line);

// The alternates sit under keys "1" to "3", kept compact from "1".
inline constexpr int MaxAlternates = 3;

// Removes alternate n (1 to 3); its followers move up one key each, and the first empty
// follower ends the moving. Nothing happens for 0. One write: no failure or crash leaves a
// hole in the list or one alternate under two keys.
Status DeleteAlternate(SettingsStore &settings, int n);

// The stored alternates from key "1" up to the first empty key.
QStringList AlternateLines(const SettingsStore &settings);

// The first key (1 to 3) that is empty or "VACANT", 0 when all three are taken.
int FreeAlternateSlot(const SettingsStore &settings);

// The station-ID reminders run for the operator's own sessions only: the name in front of
// the net-control label must be the user's name, letter for letter.
bool IdReminderFor(const QString &netControlLabel, const QString &userName);

// The NET INFO label text of a name and call.
QString NetInfoLabel(const QString &name, const QString &call);
