#include "maintenance/memberops.h"
#include "netshare/netmonth.h"
#include "netshare/netshare.h"
#include "session/sessionjournal.h"
#include "testroot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/types.h>

using namespace Qt::StringLiterals;

// Program roots whose net folders real Syncthing daemons keep the same, on loopback only:
// no discovery, no relays, each device told the other's address.
class TestNetSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void changesAndSessionsCrossOverSyncthing();
};

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(19, 0));
constexpr int kDeadlineMs = 60 * 1000;

int FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// One PC: its program root, its sharing and its Syncthing.
struct Pc
{
    Pc(const QString &name, const QString &home)
        : root({},
            { { "Net", "Folder", "Net" }, { "Net", "Station", name + "-000001" },
                { "Net", "Name", name } },
            kNow)
        , home(home)
        , port(FreePort())
    {
        root.writeStations("BALDWIN",
            { Station("W4AAA", "ANN", "BALDWIN", "", "FOLEY", "11/01/2026"), EndMarker() });
        QProcess generate;
        generate.setProcessChannelMode(QProcess::MergedChannels);
        generate.start("syncthing", { "generate", "--home=" + home, "--no-default-folder" });
        QVERIFY(generate.waitForFinished(60000));
        const QString out = QString::fromUtf8(generate.readAll());
        device = QRegularExpression("Device ID: ([A-Z0-9-]+)").match(out).captured(1);
        QVERIFY2(!device.isEmpty(), qPrintable(out));
    }
    ~Pc()
    {
        if (daemon.state() != QProcess::NotRunning) {
            // Ended by its pid, as any daemon a test starts.
            ::kill(pid_t(daemon.processId()), SIGTERM);
            if (!daemon.waitForFinished(10000)) {
                ::kill(pid_t(daemon.processId()), SIGKILL);
                daemon.waitForFinished(5000);
            }
        }
    }
    QString netFolder() const { return root.paths().root() + "Net/"; }

    // The configuration: this device listens on its loopback port and knows the others.
    void configure(const QList<Pc *> &others)
    {
        QString devices = QString(
            R"(  <device id="%1" name="self" compression="metadata"><address>dynamic</address></device>
)")
                              .arg(device);
        QString members = QString(R"(    <device id="%1"></device>
)")
                              .arg(device);
        for (const Pc *o : others) {
            devices += QString(
                R"(  <device id="%1" name="peer" compression="metadata"><address>tcp://127.0.0.1:%2</address></device>
)")
                           .arg(o->device)
                           .arg(o->port);
            members += QString(R"(    <device id="%1"></device>
)")
                           .arg(o->device);
        }
        const QString config = QString(R"(<configuration version="36">
  <folder id="vorq-net" label="vorq-net" path="%1" type="sendreceive" rescanIntervalS="3" fsWatcherEnabled="true" fsWatcherDelayS="1">
%2  </folder>
%3  <gui enabled="false" tls="false"><address>127.0.0.1:0</address></gui>
  <options>
    <listenAddress>tcp://127.0.0.1:%4</listenAddress>
    <globalAnnounceEnabled>false</globalAnnounceEnabled>
    <localAnnounceEnabled>false</localAnnounceEnabled>
    <relaysEnabled>false</relaysEnabled>
    <natEnabled>false</natEnabled>
    <urAccepted>-1</urAccepted>
    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
    <crashReportingEnabled>false</crashReportingEnabled>
    <startBrowser>false</startBrowser>
  </options>
</configuration>
)")
                                   .arg(netFolder(), members, devices)
                                   .arg(port);
        QFile file(home + "/config.xml");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(config.toUtf8());
    }
    void startDaemon()
    {
        QVERIFY(QDir().mkpath(netFolder()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("STNOUPGRADE", "1");
        env.insert("STNODEFAULTFOLDER", "1");
        daemon.setProcessEnvironment(env);
        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.setStandardOutputFile(home + "/syncthing.log");
        daemon.start("syncthing", { "serve", "--no-browser", "--no-restart", "--home=" + home });
        QVERIFY(daemon.waitForStarted(10000));
    }

    TestRoot root;
    QString home;
    int port;
    QString device;
    QProcess daemon;
    std::unique_ptr<NetShare> share;
};

// Passes until the condition holds; how long that took, or -1 after the deadline.
qint64 PassUntil(Pc &pc, const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kDeadlineMs) {
        pc.share->pass();
        if (done())
            return clock.elapsed();
        QTest::qWait(200);
    }
    return -1;
}

bool HoldsCall(Pc &pc, const QString &call)
{
    StationFile file(pc.root.filePath("BALDWIN"));
    return file.open() && FindCallInFile(file, call) > 0;
}

} // namespace

void TestNetSync::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("syncthing").isEmpty(),
        "syncthing is not installed (scripts/ensure-packages.sh installs it)");
}

void TestNetSync::changesAndSessionsCrossOverSyncthing()
{
    QTemporaryDir homes;
    Pc a("A", homes.path() + "/a");
    Pc b("B", homes.path() + "/b");
    Pc c("C", homes.path() + "/c");
    a.configure({ &b, &c });
    b.configure({ &a, &c });
    c.configure({ &a, &b });
    for (Pc *pc : { &a, &b }) {
        pc->startDaemon();
        pc->share
            = std::make_unique<NetShare>(pc->root.paths(), pc->root.settings(), pc->root.clock());
        QVERIFY(pc->share->start());
    }

    // A member added on A is in B's station file.
    CurrentMembers members;
    QCOMPARE(AddMemberRecord(a.root.filePath("BALDWIN"), Station("K4NEW", "NED", "BALDWIN"),
                 kNow.date(), members)
                 .kind,
        AddResult::Added);
    const qint64 added = PassUntil(b, [&] { return HoldsCall(b, "K4NEW"); });
    QVERIFY2(added >= 0, "the member added on A did not reach B within 60 s");
    qInfo("member added on A reached B's station file in %lld ms", added);

    // A session ended on A is in B's net month, once.
    a.root.clock().set(QDateTime(QDate(2026, 12, 8), QTime(19, 0)));
    SessionJournal journal(a.root.paths(), a.root.clock());
    journal.begin("ANN", "W4ANN", "EARLY");
    a.root.clock().advanceSeconds(40 * 60);
    QVERIFY(journal.finish());
    QCOMPARE(a.share->pass().published, 1);
    const qint64 session
        = PassUntil(b, [&] { return ReadNetMonth(b.netFolder(), 2026, 12).sessions.size() == 1; });
    QVERIFY2(session >= 0, "A's session did not reach B's net month within 60 s");
    qInfo("session ended on A reached B's net month in %lld ms", session);

    // The same record changed on both before they meet: one conflict on each, nothing
    // overwritten; A keeps its own, and B follows.
    StationRecord fields = a.root.record("BALDWIN", 1).trimmed();
    fields.City = "MOBILE";
    QVERIFY(EditMemberRecord(a.root.filePath("BALDWIN"), 1, fields));
    fields.City = "FAIRHOPE";
    QVERIFY(EditMemberRecord(b.root.filePath("BALDWIN"), 1, fields));
    QVERIFY(PassUntil(a, [&] { return a.share->conflicts().size() == 1; }) >= 0);
    QVERIFY(PassUntil(b, [&] { return b.share->conflicts().size() == 1; }) >= 0);
    QCOMPARE(a.root.record("BALDWIN", 1).City.trimmed(), u"MOBILE"_s);
    QCOMPARE(b.root.record("BALDWIN", 1).City.trimmed(), u"FAIRHOPE"_s);
    QVERIFY(a.share->keepMine(a.share->conflicts().value(0).theirs.id()));
    const qint64 settled = PassUntil(b, [&] {
        return b.share->conflicts().isEmpty()
            && b.root.record("BALDWIN", 1).City.trimmed() == "MOBILE";
    });
    QVERIFY2(settled >= 0, "A's choice did not settle B's conflict within 60 s");
    qInfo("a conflict kept on A was settled on B in %lld ms", settled);

    // A third PC joins late, from the database all began with: it catches up on everything,
    // with no conflict (B's change was overruled before C came).
    c.startDaemon();
    c.share = std::make_unique<NetShare>(c.root.paths(), c.root.settings(), c.root.clock());
    QVERIFY(c.share->start());
    const qint64 caughtUp = PassUntil(c, [&] {
        return c.root.stationBytes("BALDWIN") == a.root.stationBytes("BALDWIN")
            && ReadNetMonth(c.netFolder(), 2026, 12).sessions.size() == 1;
    });
    QVERIFY2(caughtUp >= 0, "the PC that joined late did not catch up within 60 s");
    qInfo("a PC joining late caught up in %lld ms", caughtUp);
    QCOMPARE(c.share->conflicts().size(), 0);
}

QTEST_GUILESS_MAIN(TestNetSync)
#include "tst_netsync.moc"
