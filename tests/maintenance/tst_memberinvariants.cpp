#include "maintenance/membereditor.h"
#include "session/memberline.h"
#include "session/netsession.h"
#include "session/stationsearch.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

// Random sequences of what an operator does during a net (type, click, take back, add, edit,
// delete, change a call, choose counties) against the session and the member form's core,
// with the invariants checked after every step:
// - the count is the number of stations in the check-in table, and no station is in it twice;
// - a step writes only the records it names, and no call stands twice in a file;
// - every member line shown reads as the call of the record it stands for.
class TestMemberInvariants : public QObject
{
    Q_OBJECT

private slots:
    void randomSequences_data();
    void randomSequences();
};

namespace {
const QDate kToday(2026, 3, 10);
const QStringList kCounties { "LEE", "MOBILE", "TEXAS" };

using Snapshot = QHash<QString, QList<StationRecord>>; // file -> records 1..100

Snapshot snapshot(const TestRoot &root)
{
    Snapshot s;
    for (const QString &county : kCounties) {
        StationFile file(root.filePath(county));
        if (!file.open())
            qFatal("cannot read %s", qPrintable(county));
        QList<StationRecord> records;
        for (int n = 1; n <= RecordsPerFile; ++n)
            records << file.read(n);
        s.insert(county, records);
    }
    return s;
}

struct Step
{
    QString what;
    QSet<QPair<QString, int>> mayWrite; // (county, record)
};
} // namespace

void TestMemberInvariants::randomSequences_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= quint32(SlowTestRuns(200)); ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestMemberInvariants::randomSequences()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QString d = "1/2/2026";
    TestRoot root({ { "LEE",
                        { Station("K4A", "ANN", "", "", "OPELIKA", d), Vacant(),
                            Station("W4XY", "SUE", "", "", "AUBURN", d), BlankSlot(),
                            Station("KA4BC", "BOB", "", "MON", "SMITHS", d), EndMarker() } },
        { "MOBILE",
            { Station("N4MO", "MO", "", "", "MOBILE", d),
                Station("K4TWO", "TWO", "", "", "DAPHNE", d) } },
        { "TEXAS", { Station("W5TX", "TEX", "", "", "AUSTIN", d) } } });
    NetSession session(root.table());
    MemberEditor editor(session, root.table(), root.settings());
    QStringList known { "K4A", "W4XY", "KA4BC", "N4MO", "K4TWO", "W5TX" };
    int fresh = 0;
    auto newCall = [&] {
        const int n = fresh++;
        return QString("K4N") + QChar(u'A' + n / 26) + QChar(u'A' + n % 26);
    };
    QHash<int, QString> shown; // record -> member line of the county shown
    QStringList typedLines; // check-in lines of early and late mode
    QString county; // the county shown, empty in early and late mode

    Snapshot before = snapshot(root);
    for (int stepNo = 0; stepNo < 30; ++stepNo) {
        Step step;
        const QList<int> records = shown.keys();
        const int record = records.isEmpty() ? 0 : records[random.bounded(records.size())];
        const auto target = [&](int n) { step.mayWrite.insert({ county, n }); };
        EditorOutcome edited;
        switch (random.bounded(9)) {
        case 0:
        case 1: {
            const QString call
                = random.bounded(5) == 0 ? newCall() : known[random.bounded(known.size())];
            step.what = "type " + call;
            const StationSearch search = FindStation(root.table(), call);
            if (search.found)
                step.mayWrite.insert({ root.table().displayName(root.table().displayPosition(
                                           search.found->record.County)),
                    search.found->recordNumber });
            const SessionOutcome out = session.typedCheckin(call, kToday);
            if (!out.checkinLine.isEmpty())
                typedLines << out.checkinLine;
            break;
        }
        case 2: {
            const QStringList entries
                = QStringList { "EARLY CHECKINS", "LATE CHECKINS" } + kCounties;
            const QString entry = entries[random.bounded(entries.size())];
            step.what = "choose " + entry;
            const CountyChoice choice = session.chooseEntry(entry, kToday, true);
            county = kCounties.contains(entry) ? entry : QString();
            editor.cancel(); // as the window does when the county changes
            shown.clear();
            typedLines.clear();
            for (int i = 0; i < choice.records.size(); ++i)
                shown.insert(choice.records[i], choice.lines[i]);
            break;
        }
        case 3:
            step.what = QString("click %1").arg(record);
            target(record);
            session.memberLineClick(record, kToday, false, {});
            break;
        case 4:
            if (county.isEmpty() && !typedLines.isEmpty()) {
                step.what = "take back " + typedLines.first();
                if (session.deleteCheckin(typedLines.first()).removeLine)
                    typedLines.removeFirst();
            } else {
                step.what = QString("take back %1").arg(record);
                session.deleteCheckin(shown.value(record), record);
            }
            break;
        case 5: {
            const QString call
                = random.bounded(4) == 0 ? known[random.bounded(known.size())] : newCall();
            const QString into = kCounties[random.bounded(kCounties.size())];
            step.what = "add " + call + " to " + into;
            for (int n = 1; n <= RecordsPerFile; ++n) {
                const StationRecord r = before[into][n - 1];
                if (r.isFree() || r.isEndMarker())
                    step.mayWrite.insert({ into, n });
            }
            editor.startAdd();
            edited = editor.save({ call, "NEW", into, "", "TOWN" }, {}, kToday);
            if (edited.status && edited.status->endsWith(" ADDED"))
                known << call;
            break;
        }
        case 6:
            step.what = QString("edit %1").arg(record);
            target(record);
            if (const auto fields = editor.startEdit(record)) {
                MemberFields changed = *fields;
                changed.name = "RENAMED";
                edited = editor.save(changed, {}, kToday);
            }
            break;
        case 7:
            step.what = QString("delete %1").arg(record);
            target(record);
            edited = editor.remove(record, kToday);
            break;
        case 8: {
            const QString call
                = random.bounded(4) == 0 ? known[random.bounded(known.size())] : newCall();
            step.what = QString("change %1 to %2").arg(record).arg(call);
            target(record);
            if (editor.startChangeCall(record)) {
                edited = editor.save({}, call, kToday);
                if (edited.status && edited.status->contains(" CHANGED TO "))
                    known << call;
            }
            break;
        }
        }
        if (edited.lineRecord > 0 && shown.contains(edited.lineRecord)) {
            if (edited.lineText.isEmpty())
                shown.remove(edited.lineRecord);
            else
                shown[edited.lineRecord] = edited.lineText;
        }
        const QString where = QString("seed %1, step %2: %3").arg(seed).arg(stepNo).arg(step.what);

        // The count is the table, and nobody is in the table twice.
        const CheckinTable &table = session.checkins();
        QSet<QString> inTable;
        for (int k = 1; k <= CheckinTable::Last; ++k) {
            const QString e = table.entry(k);
            if (e.isEmpty() || e == CheckinTable::Deleted())
                continue;
            QVERIFY2(!inTable.contains(e), qPrintable(where + ": " + e + " twice in the table"));
            inTable.insert(e);
        }
        QVERIFY2(session.checkinCount() == inTable.size(), qPrintable(where));

        // Only the records the step names were written; no call twice in a file.
        const Snapshot after = snapshot(root);
        for (const QString &c : kCounties) {
            QSet<QString> calls;
            for (int n = 1; n <= RecordsPerFile; ++n) {
                const StationRecord &r = after[c][n - 1];
                if (r.isEndMarker())
                    break;
                if (!r.isFree()) {
                    QVERIFY2(!calls.contains(r.Call.trimmed()),
                        qPrintable(where + ": " + r.Call + " twice in " + c));
                    calls.insert(r.Call.trimmed());
                }
                if (r != before[c][n - 1])
                    QVERIFY2(step.mayWrite.contains({ c, n }),
                        qPrintable(where + QString(": wrote %1 record %2").arg(c).arg(n)));
            }
        }

        // Every member line reads as the call of its record.
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            const std::optional<MemberRef> member = session.member(it.key());
            if (!member)
                continue; // deleted by this step; the window removes the line
            QVERIFY2(ParseMemberLine(it.value()).call == member->call,
                qPrintable(where + ": line \"" + it.value() + "\" for " + member->call));
        }
        before = after;
    }
}

QTEST_GUILESS_MAIN(TestMemberInvariants)
#include "tst_memberinvariants.moc"
