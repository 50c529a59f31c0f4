#include "failingfs.h"
#include "maintenance/memberops.h"
#include "session/netsession.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>
#include <sys/stat.h>

// The net session against station files that fail as real disks do: nothing is claimed
// that the files do not hold, and nothing is written from a file that could not be read.
class TestSessionStorage : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskChangesNothing_data();
    void fullDiskChangesNothing();
    void unreadableFileIsToldOnceAndNeverWritten();
    void checkinOfAStationMovedMeanwhile();
};

namespace {
const QDate kToday(2026, 3, 10);

// A county with a station heard lately and one silent for years, and a state.
#define LEE_AND_TEXAS                                                                              \
    {                                                                                              \
        { "LEE",                                                                                   \
            { Station("K4OD", "ODELL", "", "", "OPELIKA", "1/2/2026"),                             \
                Station("W4OLD", "OLDIE", "", "", "AUBURN", "1/2/2020"), EndMarker() } },          \
        {                                                                                          \
            "TEXAS",                                                                               \
            {                                                                                      \
                Station("N4TX", "TEX")                                                             \
            }                                                                                      \
        }                                                                                          \
    }
} // namespace

void TestSessionStorage::fullDiskChangesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("fault");
    for (const char *fault : { "full disk", "read-only" }) {
        for (const char *action : { "typed check-in", "click check-in", "retirement", "add" })
            QTest::addRow("%s, %s", action, fault)
                << QString::fromLatin1(action) << QString::fromLatin1(fault);
    }
}

void TestSessionStorage::fullDiskChangesNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, fault);
    TestRoot root(LEE_AND_TEXAS);
    NetSession session(root.table());
    if (action == "click check-in")
        QVERIFY(session.chooseEntry("TEXAS", kToday, true).status->isEmpty());
    const QString file = root.filePath(action == "click check-in" ? "TEXAS" : "LEE");
    const QByteArray before = root.stationBytes("LEE") + root.stationBytes("TEXAS");
    struct stat was;
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &was), 0);
    std::unique_ptr<FullDisk> full;
    ObeyFilePermissions obey; // an ordinary user cannot write a read-only file
    if (fault == "full disk") {
        full = std::make_unique<FullDisk>(root.root());
        QVERIFY2(full->isFull(), "no way to fill a file system here");
    } else {
        QVERIFY(obey.active() && QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
    }

    QString status;
    if (action == "typed check-in") {
        const SessionOutcome out = session.typedCheckin("K4OD", kToday);
        QVERIFY(!out.checkedIn && out.checkinLine.isEmpty());
        status = *out.status;
        QVERIFY(status.startsWith("K4OD NOT CHECKED IN - FILE ERROR: " + file));
    } else if (action == "click check-in") {
        const SessionOutcome out = session.memberLineClick(1, kToday, true, "ding");
        QVERIFY(!out.checkedIn && out.unmarkLine);
        status = *out.status;
        QVERIFY(status.startsWith("N4TX NOT CHECKED IN - FILE ERROR: " + file));
    } else if (action == "add") {
        CurrentMembers members;
        const AddResult added = AddMemberRecord(file, Station("W4NEW"), kToday, members);
        QCOMPARE(added.kind, AddResult::WriteFailed);
        status = added.failure.error();
    } else {
        const CountyChoice choice = session.chooseEntry("LEE", kToday, true);
        QCOMPARE(choice.retired, QStringList());
        QCOMPARE(choice.lines.size(), 2); // the silent station stays listed
        status = *choice.status;
        QCOMPARE(status, "W4OLD NOT RETIRED - FILE ERROR");
    }
    if (fault == "read-only" && action != "retirement")
        QVERIFY2(status.endsWith(file + ": the file is read-only"), qPrintable(status));
    QCOMPARE(session.checkinCount(), 0);
    QCOMPARE(session.checkins().entry(1), QString());
    full.reset();
    QCOMPARE(root.stationBytes("LEE") + root.stationBytes("TEXAS"), before);
    struct stat now;
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &now), 0);
    if (fault == "read-only") // the full disk's tmpfs copies the files back: new inodes
        QCOMPARE(now.st_ino, was.st_ino);
}

void TestSessionStorage::unreadableFileIsToldOnceAndNeverWritten()
{
    TestRoot root(LEE_AND_TEXAS);
    ObeyFilePermissions obey;
    QVERIFY(obey.active());
    const QString lee = root.filePath("LEE");
    QVERIFY(QFile::setPermissions(lee, QFile::WriteOwner));
    NetSession session(root.table());

    // The search passes over the file, says so once, and still finds stations elsewhere.
    SessionOutcome out = session.typedCheckin("N4TX", kToday);
    QVERIFY(out.checkedIn);
    QVERIFY2(
        out.status->startsWith("N4TX CHECKED IN - CANNOT READ " + lee), qPrintable(*out.status));
    out = session.typedCheckin("K4OD", kToday);
    QCOMPARE(*out.status, "K4OD NOT FOUND");

    // The county view says why it shows nobody, and retires nobody.
    const CountyChoice choice = session.chooseEntry("LEE", kToday, true);
    QVERIFY(choice.lines.isEmpty() && choice.retired.isEmpty());
    QVERIFY(choice.status->startsWith("CANNOT READ " + lee));
    CurrentMembers members;
    QCOMPARE(AddMemberRecord(lee, Station("W4NEW", "NEW", "LEE"), kToday, members).kind,
        AddResult::WriteFailed);
    QCOMPARE(DeleteMemberRecord(lee, 1, "K4OD", kToday).kind, DeleteResult::WriteFailed);

    QVERIFY(QFile::setPermissions(lee, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(root.record("LEE", 1).Call.trimmed(), "K4OD");
    QCOMPARE(root.record("LEE", 2).Call.trimmed(), "W4OLD");
    QCOMPARE(root.record("LEE", 3).Call.trimmed(), "**EOF*");
    QCOMPARE(root.stationBytes("LEE").size(), 3 * 82);
}

void TestSessionStorage::checkinOfAStationMovedMeanwhile()
{
    // A click works on the record the county view read; if another program has put another
    // station there since, nothing is written and the operator is told to look again.
    TestRoot root(LEE_AND_TEXAS);
    NetSession session(root.table());
    session.chooseEntry("LEE", kToday, true);
    root.writeStations("LEE",
        { Station("W4OTH", "OTHER", "", "", "", "5/5/2025"),
            Station("K4OD", "ODELL", "", "", "", "1/2/2026") });
    const QByteArray before = root.stationBytes("LEE");
    const SessionOutcome out = session.memberLineClick(1, kToday, false, {});
    QVERIFY(!out.checkedIn && out.unmarkLine);
    QVERIFY(out.status->contains(StationFile::ChangedByAnotherProgram()));
    QCOMPARE(root.stationBytes("LEE"), before);
    QCOMPARE(session.checkinCount(), 0);
}

QTEST_GUILESS_MAIN(TestSessionStorage)
#include "tst_sessionstorage.moc"
