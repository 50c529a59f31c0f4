#include "scriptedsession.h"

#include "maintenance/membereditor.h"
#include "session/netsession.h"

#include <QRandomGenerator>

namespace {
QString Letters(int n)
{
    return QString(QChar(u'A' + (n / 26) % 26)) + QChar(u'A' + n % 26);
}
} // namespace

QList<StationRecord> ScriptedStations()
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

StationRecord ScriptedNewMember(int n)
{
    StationRecord r;
    r.Call = QStringLiteral("W4") + Letters(n);
    r.Name = QStringLiteral("NEW ") + Letters(n);
    r.County = QStringLiteral("AUTAUGA");
    r.City = QStringLiteral("AUTAUGAVILLE");
    return r;
}

void RunScriptedSession(
    NetSession &session, MemberEditor &editor, const QDate &today, quint32 seed, int steps)
{
    QRandomGenerator random(seed);
    const QList<StationRecord> stations = ScriptedStations();
    int added = 0;
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
        } else if (r < 87) {
            const StationRecord n = ScriptedNewMember(added++);
            editor.startAdd();
            (void)editor.save({ n.Call, n.Name, n.County, QString(), n.City }, QString(), today);
        } else {
            // A station heard again: typed a second time.
            (void)session.typedCheckin(stations[random.bounded(5)].Call, today);
        }
    }
}
