#include "failingfs.h"
#include "loopbackhttp.h"
#include "startup/startupcontext.h"
#include "startup/updatecheck.h"
#include "stationdb/atomicfile.h"
#include "testroot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// The update check against an update server on this machine, with the real web client.
class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void numbersAndDates_data();
    void numbersAndDates();
    void databaseCaption_data();
    void databaseCaption();
    void textUpdates_data();
    void textUpdates();
    void steps_data();
    void steps();
    void refusedAndSilentServers();
    void slowInstallerArrives();
    void failedDownloadIsToldAndTriedAgain_data();
    void failedDownloadIsToldAndTriedAgain();
    void killedDownloadIsFetchedAgain();
    void installerWaitingIsKept_data();
    void installerWaitingIsKept();
    void noSecretInAnyMessage();
};

namespace {
// The server's files: name -> body ("404" answers Not Found).
using Files = QMap<QString, QByteArray>;

// "404" answers Not Found, "SILENT" never answers.
std::optional<LoopbackHttp::Reply> serve(const Files &server, const QUrl &request)
{
    const QString name = request.path().section(u'/', -1);
    if (server.value(name) == "SILENT")
        return std::nullopt;
    if (!server.contains(name) || server[name] == "404")
        return LoopbackHttp::Reply("not here", 404);
    return LoopbackHttp::Reply(server[name]);
}

const Files kSame { { "VorqVersion.txt", "1" }, { "VorqBuild.txt", "12" },
    { "VorqInstDate.txt", "03/01/2026" }, { "VorqPreambleDate.txt", "3/1/2026" },
    { "VorqdBDate.txt", "03/01/2026" } };

Files withBuild13(qsizetype size = 16)
{
    Files build = kSame;
    build["VorqBuild.txt"] = "13";
    build["VorqBldUpdate.zip"] = QByteArray(size, 'B');
    return build;
}

void writeFile(const QString &path, const QByteArray &bytes, const QDate &modified)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush());
    QVERIFY(f.setFileTime(QDateTime(modified, QTime(12, 0)), QFileDevice::FileModificationTime));
}
} // namespace

void TestUpdateCheck::numbersAndDates_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("version with decimals") << "number" << QByteArray("1.4\r\n") << "1.4";
    QTest::newRow("build with decimals") << "number" << QByteArray(" 12.4") << "12.4";
    QTest::newRow("number then text") << "number" << QByteArray("13abc") << "13";
    QTest::newRow("no number") << "number" << QByteArray("<html>") << "0";
    QTest::newRow("ISO date") << "date" << QByteArray("2025-03-09\n") << "2025-03-09";
    QTest::newRow("short date") << "date" << QByteArray("3/9/2025") << "2025-03-09";
    QTest::newRow("mm/dd/yyyy") << "date" << QByteArray("03/09/2025") << "2025-03-09";
    QTest::newRow("no date") << "date" << QByteArray("March 9") << "";
}

void TestUpdateCheck::numbersAndDates()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    if (kind == "number")
        QCOMPARE(QString::number(ServerNumber(input)), expected);
    else
        QCOMPARE(ServerDate(QString::fromLatin1(input)).value_or(QDate()).toString(Qt::ISODate),
            expected);
}

void TestUpdateCheck::databaseCaption_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("due");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDate>("flag"); // invalid: no flag file
    QTest::addColumn<QString>("caption"); // date + tail
    const QDate may10(2026, 5, 10);
    QTest::newRow("nothing due, stored date") << false << false << "05/10/2026"
                                              << "03/01/2026" << QDate() << "03/01/2026";
    QTest::newRow("nothing due, no stored date") << false << false << "05/10/2026"
                                                 << "" << QDate() << "05/10/2026";
    QTest::newRow("due, download failed, no stored date")
        << false << true << "05/10/2026"
        << "" << QDate() << "UNKNOWN   DATABASE DID NOT UPDATE";
    QTest::newRow("due, download failed")
        << false << true << "05/10/2026"
        << "03/01/2026" << QDate() << "03/01/2026   DATABASE DID NOT UPDATE";
    QTest::newRow("updater finished") << true << true << "05/10/2026"
                                      << "03/01/2026" << may10 << "05/10/2026  DATATBASE UPDATED";
    QTest::newRow("updater finished, ISO server date")
        << true << true << "2026-05-10"
        << "" << may10 << "2026-05-10  DATATBASE UPDATED";
    QTest::newRow("updater left an old flag")
        << true << true << "05/10/2026"
        << "" << QDate(2026, 1, 2) << "01/02/2026   DATABASE DID NOT UPDATE";
    QTest::newRow("updater left no flag")
        << true << true << "05/10/2026"
        << "03/01/2026" << QDate() << "03/01/2026   DATABASE DID NOT UPDATE";
}

void TestUpdateCheck::databaseCaption()
{
    QFETCH(bool, started);
    QFETCH(bool, due);
    QFETCH(QString, server);
    QFETCH(QString, stored);
    QFETCH(QDate, flag);
    QFETCH(QString, caption);
    const DatabaseCaption c = DatabaseCaptionOf(
        started, due, server, stored, flag.isValid() ? std::optional(flag) : std::nullopt);
    QCOMPARE(c.date + c.tail, caption);
}

void TestUpdateCheck::textUpdates_data()
{
    QTest::addColumn<QByteArray>("date");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QString>("message");
    QTest::newRow("ISO date, newer") << QByteArray("2026-03-09") << QByteArray("NEW") << true << "";
    QTest::newRow("short date, newer") << QByteArray("3/9/2026") << QByteArray("NEW") << true << "";
    QTest::newRow("ISO date, same day")
        << QByteArray("2026-03-01") << QByteArray("NEW") << false << "";
    QTest::newRow("one endless line") << QByteArray("2026-03-09") << QByteArray(20000, 'x') << false
                                      << "THE NEW PREAMBLE FROM THE UPDATE SERVER WAS NOT INSTALLED"
                                         " (A LINE LONGER THAN 10,000 CHARACTERS)";
    QTest::newRow("over 1 MB") << QByteArray("2026-03-09") << QByteArray(1536 * 1024, '\n') << false
                               << "THE NEW PREAMBLE FROM THE UPDATE SERVER WAS NOT INSTALLED"
                                  " (LARGER THAN 1 MB)";
}

void TestUpdateCheck::textUpdates()
{
    QFETCH(QByteArray, date);
    QFETCH(QByteArray, text);
    QFETCH(bool, replaced);
    QFETCH(QString, message);
    Files server = kSame;
    server["VorqPreambleDate.txt"] = date;
    server["VorqPreamble.txt"] = text;
    LoopbackHttp http([&server](const QUrl &request) { return serve(server, request); });
    TestRoot root({}, { { "Settings", "Update Url", http.url("/vorq").toString() } });
    StartupContext context;
    FillStartupContext(context, root.services());
    const QString preamble = context.UserDataFolder + "VorqPreamble.txt";
    writeFile(preamble, "OLD PREAMBLE", QDate(2026, 3, 1));
    writeFile(context.UserDataFolder + "VorqInst.txt", "OLD", QDate(2026, 3, 1));
    QVERIFY(UpdateCheck(root.services(), context, QString()).run());
    QCOMPARE(FileBytes(preamble), replaced ? text : QByteArray("OLD PREAMBLE"));
    const QString told
        = root.dialogs().messages.isEmpty() ? QString() : root.dialogs().messages.last().text;
    QVERIFY2(message.isEmpty() ? told.isEmpty() : told.startsWith(message), qPrintable(told));
}

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
    Files version = same;
    version["VorqVersion.txt"] = "2";
    version["VorqVerUpdate.zip"] = "NEW VERSION";
    QTest::newRow("version 2 installs")
        << version << false
        << QStringList { "updates/VorqVersion.txt", "files/VorqVerUpdate.zip",
               "files/VorqVerUpdate.zip.sha256" }
        << "A NEW VERSION HAS BEEN DOWNLOADED. CLICK OK TO INSTALL";
    const QStringList refusedBuild = QStringList { "updates/VorqVersion.txt",
        "updates/VorqBuild.txt", "files/VorqBldUpdate.zip", "files/VorqBldUpdate.zip.sha256" }
        + asked.mid(2);
    const QString notInstalled = "THE NEW BUILD WAS NOT INSTALLED - VorqBldUpdate.zip";
    Files sum = build;
    sum["VorqBldUpdate.zip.sha256"]
        = QCryptographicHash::hash("NEW BUILD", QCryptographicHash::Sha256).toHex()
        + "  VorqBldUpdate.zip\n";
    QTest::newRow("build 13 with its checksum installs")
        << sum << false << refusedBuild.mid(0, 4)
        << "A NEW BUILD HAS BEEN DOWNLOADED. CLICK OK TO INSTALL!";
    Files damaged = build;
    damaged["VorqBldUpdate.zip.sha256"] = QByteArray(64, 'a');
    QTest::newRow("damaged build never starts")
        << damaged << true << refusedBuild << notInstalled + " IS DAMAGED";
    // A checksum that is offered but cannot be checked stops the install as a wrong one does.
    Files page = build;
    page["VorqBldUpdate.zip.sha256"] = "<html><body>Welcome</body></html>";
    QTest::newRow("checksum answered with a web page")
        << page << true << refusedBuild << notInstalled + ": its checksum file holds no";
    Files silent = build;
    silent["VorqBldUpdate.zip.sha256"] = "SILENT";
    QTest::newRow("checksum never arrives")
        << silent << true << refusedBuild << notInstalled + ": its checksum could not be read";
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
    LoopbackHttp http([&server](const QUrl &request) { return serve(server, request); });
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
    const QString told
        = root.dialogs().messages.isEmpty() ? QString() : root.dialogs().messages.last().text;
    QVERIFY2(message.isEmpty() ? told.isEmpty() : told.startsWith(message), qPrintable(told));

    const QString installer = paths.tempFolder()
        + (server.contains("VorqVerUpdate.zip") ? "VorqVerUpdate.exe" : "VorqBldUpdate.exe");
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

namespace {
// The check of one start of the program on root, with short bounds.
bool runCheck(TestRoot &root, StartupContext &context, UpdateCheck::Progress progress = {})
{
    UpdateCheck check(root.services(), context, root.paths().root() + "program");
    check.setTimeouts(400, 4000);
    check.setProgress(std::move(progress));
    return check.run();
}

// The installer of a build update is in Temp, whole, and was started.
void verifyInstalled(TestRoot &root, const QByteArray &zip)
{
    const QString exe = root.paths().tempFolder() + "VorqBldUpdate.exe";
    QCOMPARE(FileBytes(exe), zip);
    QCOMPARE(root.shell().programs.value(0), QStringList { exe });
    QCOMPARE(root.settings().get("Settings", "VBUpdate"), u"True"_s);
}

// Nothing of a failed download stays: no Temp, no pending mark, nothing started.
void verifyNothingLeft(TestRoot &root)
{
    QVERIFY2(!QFileInfo::exists(root.paths().tempFolder()),
        qPrintable(QDir(root.paths().tempFolder()).entryList(QDir::Files).join(' ')));
    QVERIFY(root.settings().get("Settings", "VBUpdate") != "True");
    QVERIFY(root.shell().programs.isEmpty());
}
} // namespace

void TestUpdateCheck::slowInstallerArrives()
{
    // 2 MB at about 1 MB/s: far longer than the stall bound and the check's bound, and every
    // piece comes in time.
    const Files server = withBuild13(2 * 1024 * 1024);
    LoopbackHttp http([&server](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        std::optional<LoopbackHttp::Reply> reply = serve(server, request);
        if (request.path().endsWith(".zip")) {
            reply->pieceBytes = 32 * 1024;
            reply->paceMs = 30;
        }
        return reply;
    });
    TestRoot root({}, { { "Settings", "Update Url", http.url("/vorq").toString() } });
    StartupContext context;
    FillStartupContext(context, root.services());
    QList<qint64> received;
    UpdateCheck check(root.services(), context, root.paths().root() + "program");
    check.setTimeouts(400, 1000);
    check.setProgress([&](const QString &file, qint64 got, qint64 total) {
        QCOMPARE(file, u"VorqBldUpdate.zip"_s);
        QCOMPARE(total, qint64(2 * 1024 * 1024));
        received << got;
    });
    QVERIFY(!check.run());
    verifyInstalled(root, server["VorqBldUpdate.zip"]);
    // The window was told as the bytes came, not only at the end.
    QVERIFY2(received.size() > 10, qPrintable(QString::number(received.size())));
    QVERIFY(std::is_sorted(received.begin(), received.end()));
    QCOMPARE(received.last(), qint64(2 * 1024 * 1024));
}

void TestUpdateCheck::failedDownloadIsToldAndTriedAgain_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("stops halfway") << "stall"
                                   << "nothing arrived for";
    QTest::newRow("larger than an installer can be") << "huge"
                                                     << "larger than";
    QTest::newRow("redirected to another machine") << "redirect"
                                                   << "refused a redirect";
    QTest::newRow("disk full") << "full"
                               << "VorqBldUpdate.zip";
}

void TestUpdateCheck::failedDownloadIsToldAndTriedAgain()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    const Files server = withBuild13(512 * 1024);
    bool broken = true;
    LoopbackHttp http([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        std::optional<LoopbackHttp::Reply> reply = serve(server, request);
        if (!broken || !request.path().endsWith(".zip"))
            return reply;
        if (fault == "stall")
            reply->stallAfter = 100 * 1024;
        if (fault == "huge")
            reply->generated = 300 * 1024 * 1024;
        if (fault == "redirect")
            return LoopbackHttp::Reply::redirect(QUrl("http://192.0.2.2:18081/VorqBldUpdate.zip"));
        return reply;
    });
    TestRoot root({}, { { "Settings", "Update Url", http.url("/vorq").toString() } });
    StartupContext context;
    FillStartupContext(context, root.services());
    writeFile(root.paths().root() + "program", "THE PROGRAM", QDate(2026, 3, 1));
    {
        std::unique_ptr<FullDisk> full;
        if (fault == "full") {
            full = std::make_unique<FullDisk>(root.root());
            QVERIFY2(full->isFull(), "no way to fill a file system here");
        }
        QVERIFY(runCheck(root, context));
    }
    const QString told
        = root.dialogs().messages.isEmpty() ? QString() : root.dialogs().messages.last().text;
    QVERIFY2(told.startsWith("THE NEW BUILD WAS NOT INSTALLED - ") && told.contains(reason)
            && told.endsWith("IT WILL BE TRIED AGAIN AT THE NEXT START."),
        qPrintable(told));
    verifyNothingLeft(root);
    QVERIFY(http.sentBytes() < 64 * 1024 * 1024); // a huge one is refused, not read
    // The next start, with the server or the disk well again, asks for it again.
    broken = false;
    const qsizetype before = http.requests().size();
    QVERIFY(!runCheck(root, context));
    QVERIFY(http.requests().mid(before).contains("/vorq/files/VorqBldUpdate.zip?"));
    verifyInstalled(root, server["VorqBldUpdate.zip"]);
}

void TestUpdateCheck::killedDownloadIsFetchedAgain()
{
    // The program dies in the middle of an installer's download (a child process, killed);
    // the next start finds nothing pending and fetches the installer again.
    const Files server = withBuild13(1024 * 1024);
    bool slow = true;
    LoopbackHttp http([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        std::optional<LoopbackHttp::Reply> reply = serve(server, request);
        if (slow && request.path().endsWith(".zip")) {
            reply->pieceBytes = 16 * 1024;
            reply->paceMs = 20;
        }
        return reply;
    });
    TestRoot root({}, { { "Settings", "Update Url", http.url("/vorq").toString() } });
    QProcess child;
    child.start(UPDATE_RUNNER, { root.root() });
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(http.sentBytes() > 256 * 1024, 20000);
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY(root.settings().get("Settings", "VBUpdate") != "True");

    slow = false;
    const qsizetype before = http.requests().size();
    StartupContext context;
    FillStartupContext(context, root.services());
    QVERIFY(!runCheck(root, context));
    QVERIFY(http.requests().mid(before).contains("/vorq/files/VorqBldUpdate.zip?"));
    verifyInstalled(root, server["VorqBldUpdate.zip"]);
    QCOMPARE(QDir(root.paths().tempFolder()).entryList(QDir::Files),
        QStringList({ "VorqBldUpdate.exe", "VorqBldUpdate.zip" }));
}

namespace {
QStringList *g_logged = nullptr;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (g_logged)
        *g_logged << text;
}
} // namespace

void TestUpdateCheck::noSecretInAnyMessage()
{
    // An update address that carries a password and a key: every failure is told or logged,
    // and none of them quotes either.
    const QString secret = "s3cr;t&x";
    const QString key = "SeSsIoNkEy42";
    Files server = withBuild13();
    server["VorqBldUpdate.zip.sha256"] = "<html>" + secret.toUtf8() + "</html>";
    LoopbackHttp http([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        const QString name = request.path().section(u'/', -1);
        if (name == "VorqInstDate.txt")
            return LoopbackHttp::Reply("Unavailable " + request.query().toUtf8(), 503);
        if (name == "VorqPreambleDate.txt")
            return LoopbackHttp::Reply::redirect(
                QUrl("http://192.0.2.2:18081/x?" + request.query()));
        if (name == "VorqdBDate.txt")
            return std::nullopt;
        return serve(server, request);
    });
    QUrl address = http.url("/vorq");
    address.setUserName("alice");
    address.setPassword(secret);
    address.setQuery("key=" + key);
    TestRoot root({}, { { "Settings", "Update Url", address.toString() } });
    StartupContext context;
    FillStartupContext(context, root.services());
    QStringList messages;
    g_logged = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    QVERIFY(runCheck(root, context));
    qInstallMessageHandler(previous);
    g_logged = nullptr;
    for (const DialogRecord &shown : root.dialogs().messages)
        messages << shown.text;
    const QString all = messages.join("\n");
    for (const char *told : { "THE NEW BUILD WAS NOT INSTALLED", "answered 503",
             "refused a redirect", "nothing arrived" })
        QVERIFY2(all.contains(told), qPrintable(all));
    for (const QString &hidden :
        { secret, QString::fromLatin1(QUrl::toPercentEncoding(secret)), key })
        QVERIFY2(!all.contains(hidden), qPrintable(all));
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
void TestUpdateCheck::installerWaitingIsKept_data()
{
    QTest::addColumn<QString>("flag"); // Settings/VBUpdate
    QTest::addColumn<QString>("waiting"); // in Temp; a name ending in "/" is a folder
    QTest::addColumn<bool>("pending");
    QTest::newRow("a build installer") << "True"
                                       << "VorqBldUpdate.zip" << true;
    QTest::newRow("a version installer") << "True"
                                         << "VorqVerUpdate.exe" << true;
    QTest::newRow("nothing waiting") << "True"
                                     << "" << false;
    QTest::newRow("an installer, no mark") << ""
                                           << "VorqBldUpdate.zip" << false;
    QTest::newRow("a folder of that name") << "True"
                                           << "VorqBldUpdate.zip/" << false;
    QTest::newRow("another file") << "True"
                                  << "VorqBldUpdate.txt" << false;
}

void TestUpdateCheck::installerWaitingIsKept()
{
    // A whole installer fetched and not yet installed is no download to clear away.
    QFETCH(QString, flag);
    QFETCH(QString, waiting);
    QFETCH(bool, pending);
    TestRoot root({}, { { "Settings", "VBUpdate", flag } });
    const QString temp = root.paths().tempFolder();
    QVERIFY(QDir().mkpath(temp));
    if (waiting.endsWith('/'))
        QVERIFY(QDir().mkpath(temp + waiting));
    else if (!waiting.isEmpty())
        QVERIFY(WriteFileAtomically(temp + waiting, "installer"));
    QCOMPARE(UpdateCheck::InstallPending(root.services()), pending);
}

#include "tst_updatecheck.moc"
