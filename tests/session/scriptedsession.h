#pragma once

#include "maintenance/membereditor.h"
#include "session/netsession.h"
#include "stationdb/stationrecord.h"

#include <QRandomGenerator>

// A net run by a script, the same on every run of the same seed: typed check-ins (some
// twice), calls not found, traffic both ways, check-ins taken back, CLEAR, new members and
// changes of call. It stays in early check-in mode, as most nets do, but for the changes.

inline QString Letters(int n)
{
    return QString(QChar(u'A' + (n / 26) % 26)) + QChar(u'A' + n % 26);
}

// The stations of AUTAUGA the script checks in.
inline QList<StationRecord> ScriptedStations()
{
    QList<StationRecord> stations;
    for (int i = 0; i < 30; ++i) {
        StationRecord r;
        r.Call = QStringLiteral("K4") + Letters(i);
        r.Name = QStringLiteral("OP ") + Letters(i);
        r.County = QStringLiteral("AUTAUGA");
        r.City = QStringLiteral("PRATTVILLE");
        r.LastDate = QStringLiteral("01/02/2026");
        stations << r;
    }
    return stations;
}

inline void RunScriptedSession(
    NetSession &session, MemberEditor &editor, const QDate &today, quint32 seed, int steps)
{
    QRandomGenerator random(seed);
    const QList<StationRecord> stations = ScriptedStations();
    int added = 0;
    int changed = 0;
    for (int step = 0; step < steps; ++step) {
        const int r = random.bounded(100);
        if (r < 40) {
            (void)session.typedCheckin(stations[random.bounded(int(stations.size()))].Call, today);
        } else if (r < 48) {
            (void)session.typedCheckin(QStringLiteral("W9") + Letters(random.bounded(600)), today);
        } else if (r < 62) {
            session.countTraffic(r < 58);
        } else if (r < 74) {
            // Delete Checkin on the line of a station checked in: its call comes first.
            QStringList standing;
            for (int k = 1; k <= CheckinTable::Last; ++k) {
                const QString entry = session.checkins().entry(k);
                if (!entry.isEmpty() && entry != CheckinTable::Deleted())
                    standing << entry;
            }
            if (!standing.isEmpty())
                (void)session.deleteCheckin(
                    standing[random.bounded(int(standing.size()))] + QStringLiteral(" OP"));
        } else if (r < 77) {
            session.clearNonListed();
        } else if (r < 81) {
            // A member's call changed: its county called up, the call changed in the member
            // form, back to early check-ins. A check-in of the old call keeps its entry.
            (void)session.chooseEntry(QStringLiteral("AUTAUGA"), today, true);
            const int record = 1 + random.bounded(int(stations.size()));
            if (editor.startChangeCall(record).ok())
                (void)editor.save({}, QStringLiteral("W8") + Letters(changed++), today);
            (void)session.chooseEntry(QStringLiteral("EARLY CHECKINS"), today, true);
        } else if (r < 87) {
            const QString n = Letters(added++);
            editor.startAdd();
            (void)editor.save(
                { QStringLiteral("W4") + n, QStringLiteral("NEW ") + n, QStringLiteral("AUTAUGA"),
                    QString(), QStringLiteral("AUTAUGAVILLE") },
                QString(), today);
        } else {
            // A station heard again: typed a second time.
            (void)session.typedCheckin(stations[random.bounded(5)].Call, today);
        }
    }
}
