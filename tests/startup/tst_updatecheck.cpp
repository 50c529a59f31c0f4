#include "loopbackhttp.h"
#include "startup/startupcontext.h"
#include "startup/updatecheck.h"
#include "testroot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

// The update check against an update server on this machine, with the real web client.
class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void refusedAndSilentServers();
};

namespace {
// The server's files: name -> body ("404" answers Not Found).
using Files = QMap<QString, QByteArray>;

void writeFile(const QString &path, const QByteArray &bytes, const QDate &modified)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush());
    QVERIFY(f.setFileTime(QDateTime(modified, QTime(12, 0)), QFileDevice::FileModificationTime));
}
} // namespace

void TestUpdateCheck::steps_data()
{
    QTest::addColumn<Files>("server");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QStringList>("fetched"); // the files asked for, in order
    QTest::addColumn<QString>("message");
    const Files same { { "VorqVersion.txt", "1" }, { "VorqBuild.txt", "12" },
        { "VorqInstDate.txt", "03/01/2026" }, { "VorqPreambleDate.txt", "3/1/2026" },
        { "VorqdBDate.txt", "03/01/2026" } };
    const QStringList asked { "updates/VorqVersion.txt", "updates/VorqBuild.txt",
        "updates/VorqInstDate.txt", "updates/VorqPreambleDate.txt", "updates/VorqdBDate.txt" };
    Files build = same;
    build["VorqBuild.txt"] = "13";
    build["VorqBldUpdate.zip"] = "NEW BUILD";
    QTest::newRow("build 13 installs")
        << build << false
        << QStringList { "updates/VorqVersion.txt", "updates/VorqBuild.txt",
               "files/VorqBldUpdate.zip", "files/VorqBldUpdate.zip.sha256" }
        << "A NEW BUILD HAS BEEN DOWNLOADED. CLICK OK TO INSTALL!";
    Files damaged = build;
    damaged["VorqBldUpdate.zip.sha256"] = QByteArray(64, 'a');
    QTest::newRow("damaged build never starts")
        << damaged << true
        << QStringList { "updates/VorqVersion.txt", "updates/VorqBuild.txt",
               "files/VorqBldUpdate.zip", "files/VorqBldUpdate.zip.sha256" }
            + asked.mid(2)
        << "UPDATE FILE IS DAMAGED - NOT INSTALLED";
    Files texts = same;
    texts["VorqInstDate.txt"] = "03/09/2026";
    texts["VorqInst.txt"] = "404";
    texts["VorqPreamble.txt"] = "NEW PREAMBLE";
    texts["VorqdBDate.txt"] = "03/05/2026";
    texts["VorqdBUpdate.zip"] = "UPDATER";
    QTest::newRow("newer texts and database")
        << texts << true
        << QStringList { asked[0], asked[1], asked[2], "files/VorqInst.txt", asked[3],
               "files/VorqPreamble.txt", asked[4], "files/VorqdBUpdate.zip",
               "files/VorqdBUpdate.zip.sha256" }
        << "";
}

void TestUpdateCheck::steps()
{
    QFETCH(Files, server);
    QFETCH(bool, goesOn);
    QFETCH(QStringList, fetched);
    QFETCH(QString, message);
    LoopbackHttp http([&server](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        const QString name = request.path().section(u'/', -1);
        if (!server.contains(name) || server[name] == "404")
            return LoopbackHttp::Reply("not here", 404);
        return LoopbackHttp::Reply(server[name]);
    });
    TestRoot root({}, { { "Settings", "Update Url", http.url("/vorq").toString() } });
    StartupContext context;
    FillStartupContext(context, root.services());
    const Paths &paths = root.paths();
    // Local files as of March 1st; the preamble is missing, so it comes whatever the date.
    writeFile(context.UserDataFolder + "VorqInst.txt", "OLD INSTRUCTIONS", QDate(2026, 3, 1));
    writeFile(paths.programFolder() + "dBUpdate.exe", "OLD UPDATER", QDate(2026, 3, 1));
    writeFile(paths.root() + "program", "THE PROGRAM", QDate(2026, 3, 1));

    UpdateCheck check(root.services(), context, paths.root() + "program");
    QCOMPARE(check.run(), goesOn);
    QStringList asked;
    for (const QString &request : http.requests())
        asked << request.section(u'?', 0, 0).mid(QString("/vorq/").size());
    // The missing preamble is fetched in every row; leave it out of the comparison.
    asked.removeAll("files/VorqPreamble.txt");
    fetched.removeAll("files/VorqPreamble.txt");
    QCOMPARE(asked, fetched);
    QCOMPARE(root.dialogs().messages.isEmpty() ? QString() : root.dialogs().messages.last().text,
        message);

    const QString installer = paths.tempFolder() + "VorqBldUpdate.exe";
    const bool installed = !goesOn;
    QCOMPARE(QFileInfo::exists(installer), installed);
    QCOMPARE(root.shell().programs.contains(QStringList { installer }), installed);
    if (installed) {
        QCOMPARE(FileBytes(paths.backupFolder() + "Vorq.exe"), "THE PROGRAM");
        QCOMPARE(root.settings().get("Settings", "VBUpdate"), u"True"_s);
    }
    // A 404 never replaces a text; a newer one does, whole.
    QCOMPARE(FileBytes(context.UserDataFolder + "VorqInst.txt"), "OLD INSTRUCTIONS");
    if (goesOn)
        QCOMPARE(FileBytes(context.UserDataFolder + "VorqPreamble.txt"),
            server.value("VorqPreamble.txt"));
    const bool database = server.contains("VorqdBUpdate.zip");
    QCOMPARE(context.DatabaseUpdateFlag, database);
    if (database)
        QCOMPARE(FileBytes(paths.programFolder() + "dBUpdate.exe"), "UPDATER");
}

void TestUpdateCheck::refusedAndSilentServers()
{
    // Plain http elsewhere than this machine: nothing is asked at all.
    TestRoot refused({}, { { "Settings", "Update Url", "http://updates.example.com/vorq" } });
    StartupContext context;
    UpdateCheck plain(refused.services(), context, QString());
    QVERIFY(!plain.baseUrl());
    QVERIFY(plain.run());
    // A server that takes every connection and never answers ends the check within its
    // bound, and the start goes on.
    LoopbackHttp silent([](const QUrl &) { return std::optional<LoopbackHttp::Reply>(); });
    TestRoot root({}, { { "Settings", "Update Url", silent.url("/vorq").toString() } });
    FillStartupContext(context, root.services());
    UpdateCheck check(root.services(), context, QString());
    check.setTimeouts(300, 1000);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(check.run());
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
