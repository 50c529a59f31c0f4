#pragma once

#include "stationdb/stationrecord.h"

#include <QDate>
#include <QList>
#include <QString>

class MemberEditor;
class NetSession;

// A net run by a script, the same on every run of the same seed: typed check-ins (some
// twice), calls not found, traffic both ways, check-ins taken back, CLEAR and new members.
// It stays in early check-in mode, as most nets do.

// The stations of AUTAUGA the script checks in.
QList<StationRecord> ScriptedStations();

// The call, name and city of the nth station the script adds (to AUTAUGA).
StationRecord ScriptedNewMember(int n);

void RunScriptedSession(
    NetSession &session, MemberEditor &editor, const QDate &today, quint32 seed, int steps);
