#include "failingfs.h"
#include "licences/licencedatabase.h"
#include "licences/licencedownload.h"
#include "licences/licencefields.h"
#include "licences/licenceimport.h"
#include "licences/membercalls.h"
#include "licences/unknowncall.h"
#include "licencetestfiles.h"
#include "loopbackhttp.h"
#include "testroot.h"
#include "zipwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// Files in the licence folder other than the database itself: leftovers of an import.
QStringList Leftovers(const QString &databasePath)
{
    QDir dir(QFileInfo(databasePath).absolutePath());
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QFileInfo(databasePath).fileName());
    return names;
}

} // namespace

class TestLicences : public QObject
{
    Q_OBJECT

private slots:
    void oneEdit_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("near");
        QTest::newRow("a letter dropped at the end") << "KB4OEB"
                                                     << "KB4OE" << true;
        QTest::newRow("a letter dropped inside") << "KB4OEB"
                                                 << "K4OEB" << true;
        QTest::newRow("a letter added at the front") << "KB4OEB"
                                                     << "AKB4OEB" << true;
        QTest::newRow("a letter changed") << "KB4OEB"
                                          << "KB4OEP" << true;
        QTest::newRow("the first letter changed") << "KB4OEB"
                                                  << "WB4OEB" << true;
        QTest::newRow("neighbours swapped") << "KB4OEB"
                                            << "KB4EOB" << true;
        QTest::newRow("the last two swapped") << "KB4OEB"
                                              << "KB4OBE" << true;
        QTest::newRow("equal") << "KB4OEB"
                               << "KB4OEB" << false;
        QTest::newRow("two letters changed") << "KB4OEB"
                                             << "KB4OXX" << false;
        QTest::newRow("letters swapped, not neighbours") << "KB4OEB"
                                                         << "KB4BEO" << false;
        QTest::newRow("two letters dropped") << "KB4OEB"
                                             << "KB4O" << false;
        QTest::newRow("a swap and a change") << "KB4OEB"
                                             << "BK4OEX" << false;
    }
    void oneEdit()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, near);
        QCOMPARE(OneEditApart(a.toLatin1(), b.toLatin1()), near);
        QCOMPARE(OneEditApart(b.toLatin1(), a.toLatin1()), near);
    }

    void fieldForms_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("us");
        QTest::newRow("1x3") << "W4XYZ" << true;
        QTest::newRow("2x3") << "KB4OEB" << true;
        QTest::newRow("2x2 of the A block") << "AL7AB" << true;
        QTest::newRow("1x1") << "N4A" << true;
        QTest::newRow("A beyond L") << "AM4ABC" << false;
        QTest::newRow("Canada") << "VE3ABC" << false;
        QTest::newRow("Germany") << "DL1ABC" << false;
        QTest::newRow("portable suffix") << "W4XYZ/M" << false;
        QTest::newRow("four letters after the digit") << "W4WXYZ" << false;
    }
    void fieldForms()
    {
        QFETCH(QString, call);
        QFETCH(bool, us);
        QCOMPARE(IsUsCallForm(call), us);
    }

    void dates()
    {
        QCOMPARE(LicenceDateNumber("03/02/2020"), 20200302);
        QCOMPARE(LicenceDateNumber(" 12/31/1999 "), 19991231);
        QCOMPARE(LicenceDateNumber("02/30/2020"), 0);
        QCOMPARE(LicenceDateNumber("2020-03-02"), 0);
        QCOMPARE(LicenceDateNumber(""), 0);
    }

    // The published layout in both line endings, stored and deflated: the newest active
    // licence of each call wins, whatever the order of the lines and identifiers.
    void import_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<bool>("deflate");
        QTest::newRow("CR LF, deflated") << QByteArray("\r\n") << true;
        QTest::newRow("LF, stored") << QByteArray("\n") << false;
    }
    void import()
    {
        QFETCH(QByteArray, ending);
        QFETCH(bool, deflate);
        TestRoot root;
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip, SampleZip(SampleLicences(ending), deflate)));
        const QString db = LicenceDatabasePath(root.paths());
        QList<qint64> progress;
        const Result<LicenceImportReport> report
            = ImportLicenceZip(zip, db, [&](qint64 done, qint64 total) {
                  progress << done * 100 / total;
                  return true;
              });
        QVERIFY2(report.ok(), qPrintable(report.error()));
        QCOMPARE(report->licences, 7);
        QCOMPARE(report->malformedLines, 1);
        QCOMPARE(report->malformed, QStringList { "EN.dat:8: 3 fields, at least 19 needed" });
        QCOMPARE(report->fileDate, SampleFileTime().date());
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(progress.last(), 100);
        QCOMPARE(Leftovers(db), QStringList());

        LicenceDatabase licences(db);
        const Result<std::optional<Licence>> xyz = licences.find("w4xyz");
        QVERIFY(xyz && xyz->has_value());
        const Licence &l = **xyz;
        QCOMPARE(l.call, "W4XYZ");
        QCOMPARE(l.displayName(), "JOHN SMITH");
        QCOMPARE(l.middleInitial, "");
        QCOMPARE(l.city, "Mobile");
        QCOMPARE(l.state, "AL");
        QCOMPARE(l.zip, "36601");
        QCOMPARE(l.frn, "0001234567");
        QCOMPARE(l.status, QChar('A'));
        QCOMPARE(l.className(), "GENERAL");
        QCOMPARE(l.granted, QDate(2020, 3, 2));
        QCOMPARE(l.expires, QDate(2030, 3, 2));

        auto field = [&](const char *call, QString (*of)(const Licence &)) {
            const Result<std::optional<Licence>> r = licences.find(call);
            return r && r->has_value() ? of(**r) : QString("(none)");
        };
        auto name = [](const Licence &x) { return x.displayName() + '/' + x.className(); };
        QCOMPARE(field("N4NEW", name), "ANN NEWER/ADVANCED");
        QCOMPARE(field("K4TWO", name), "TOM ACTIVE/GENERAL");
        QCOMPARE(field("W4CLB", name), "ROCKET CITY ARC/"); // no AM line
        QCOMPARE(field("W4OLD", [](const Licence &x) { return x.previousCall; }), "WB4OLD");
        QCOMPARE(field("K4CAN", [](const Licence &x) { return QString(x.status); }), "C");
        QCOMPARE(field("K9NON", name), "(none)");
        QCOMPARE(licences.fileDate().value(), SampleFileTime().date());
    }

    // A zip that cannot be the licence file, or cannot be read, fails whole: the previous
    // database stays in use and nothing is left beside it.
    void importFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("no EN.dat") << "no EN"
                                   << "l_amat.zip: no EN.dat in the zip";
        QTest::newRow("damaged deflate data") << "damaged"
                                              << "l_amat.zip: ";
        QTest::newRow("not a zip") << "text"
                                   << "l_amat.zip: ";
        QTest::newRow("no such file") << "missing"
                                      << "l_amat.zip: no such file";
    }
    void importFailures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString old = root.root() + "/old.zip";
        QVERIFY(WriteBytes(old, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(old, db).ok());
        const QByteArray before = FileBytes(db);

        PublishedFiles changed = SampleLicences("\n");
        changed.en.replace("Smith", "Smythe");
        QByteArray bytes = SampleZip(changed);
        if (kind == "no EN")
            bytes = MakeZip({ { "AM.dat", changed.am, true }, { "HD.dat", changed.hd, true } });
        if (kind == "damaged") {
            const qsizetype at = bytes.indexOf("EN.dat") + 6 + 40; // inside EN.dat's data
            for (int i = 0; i < 8; ++i)
                bytes[at + i] = char(bytes[at + i] ^ 0x5a);
        }
        if (kind == "text")
            bytes = "EN|1|||W4XYZ\n";
        const QString zip = root.root() + "/l_amat.zip";
        if (kind != "missing")
            QVERIFY(WriteBytes(zip, bytes));

        const Result<LicenceImportReport> report = ImportLicenceZip(zip, db);
        QVERIFY(!report.ok());
        QVERIFY2(report.error().startsWith(zip.left(zip.size() - 10) + error),
            qPrintable(report.error()));
        QCOMPARE(FileBytes(db), before);
        QCOMPARE(Leftovers(db), QStringList());
        LicenceDatabase licences(db);
        QCOMPARE(licences.find("W4XYZ").value()->lastName, "Smith");
    }

    // A disk that fills during the import fails it and leaves the previous database whole.
    void fullDiskKeepsOldDatabase()
    {
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(zip, db).ok());
        const QByteArray before = FileBytes(db);
        {
            FullDisk full(QFileInfo(db).absolutePath());
            QVERIFY2(full.isFull(), "no way to fill a file system here");
            const Result<LicenceImportReport> report = ImportLicenceZip(zip, db);
            QVERIFY(!report.ok());
            QVERIFY2(!report.error().isEmpty(), "a failure with no reason");
        }
        QCOMPARE(FileBytes(db), before);
        QCOMPARE(Leftovers(db), QStringList());
    }

    // A cancel at any point, during the reading or the join, keeps the previous database.
    void cancelKeepsOldDatabase_data()
    {
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("at the first report") << 1;
        QTest::newRow("during the join") << 10;
        QTest::newRow("at the last report") << -1;
    }
    void cancelKeepsOldDatabase()
    {
        QFETCH(int, cancelAt);
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString old = root.root() + "/old.zip";
        QVERIFY(WriteBytes(old, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(old, db).ok());
        const QByteArray before = FileBytes(db);

        PublishedFiles changed = SampleLicences("\n");
        changed.en.replace("Smith", "Smythe");
        const QString zip = root.root() + "/new.zip";
        QVERIFY(WriteBytes(zip, SampleZip(changed)));
        int calls = 0;
        const Result<LicenceImportReport> report
            = ImportLicenceZip(zip, db, [&](qint64 done, qint64 total) {
                  ++calls;
                  return cancelAt < 0 ? done < total : calls < cancelAt;
              });
        QVERIFY(!report.ok());
        QCOMPARE(report.error(), LicenceImportCancelledText());
        QCOMPARE(FileBytes(db), before);
        QCOMPARE(Leftovers(db), QStringList());
    }

    // A lookup open before an import sees the new database after it, without a restart.
    void lookupSeesNewDatabase()
    {
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        LicenceDatabase licences(db);
        QVERIFY(!licences.exists());
        QVERIFY(!licences.find("W4XYZ").ok());
        const QString zip = root.root() + "/a.zip";
        QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(zip, db).ok());
        QCOMPARE(licences.find("W4XYZ").value()->lastName, "Smith");
        PublishedFiles changed = SampleLicences("\n");
        changed.en.replace("Smith", "Smythe");
        QVERIFY(WriteBytes(zip, SampleZip(changed)));
        QVERIFY(ImportLicenceZip(zip, db).ok());
        QCOMPARE(licences.find("W4XYZ").value()->lastName, "Smythe");
    }

    // What the status line says of a call in no station file.
    void unknownCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("withDatabase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("suggestion");
        QTest::newRow("licensed") << "W4XYZ" << true
                                  << "W4XYZ NOT FOUND - JOHN SMITH, MOBILE AL (GENERAL)"
                                  << "";
        QTest::newRow("expired") << "W4OLD" << true
                                 << "W4OLD NOT FOUND - MARY JONES, DOTHAN AL (EXTRA, EXPIRED)"
                                 << "";
        QTest::newRow("the newer of two active licences")
            << "N4NEW" << true << "N4NEW NOT FOUND - ANN NEWER, SELMA AL (ADVANCED)"
            << "";
        QTest::newRow("cancelled") << "K4CAN" << true
                                   << "K4CAN NOT FOUND - CARL CANCEL, TROY AL (TECHNICIAN, "
                                      "CANCELLED)"
                                   << "";
        QTest::newRow("a club") << "W4CLB" << true
                                << "W4CLB NOT FOUND - ROCKET CITY ARC, HUNTSVILLE AL"
                                << "";
        QTest::newRow("no licence") << "K9NON" << true << "K9NON NOT FOUND - NO US LICENCE"
                                    << "";
        QTest::newRow("a typo of a member")
            << "KB4OE" << true << "KB4OE NOT FOUND - DID YOU MEAN KB4OEB (IRMA, BLOUNT)?"
            << "KB4OEB";
        QTest::newRow("a licensed call near a member is not questioned")
            << "KB4OEX" << true << "KB4OEX NOT FOUND - ED EDGE, CULLMAN AL (TECHNICIAN PLUS)"
            << "";
        QTest::newRow("another country's call") << "VE3ABC" << true << "VE3ABC NOT FOUND"
                                                << "";
        QTest::newRow("no database: no licence judged") << "K9NON" << false << "K9NON NOT FOUND"
                                                        << "";
        QTest::newRow("no database: the typo all the same")
            << "KB4OE" << false << "KB4OE NOT FOUND - DID YOU MEAN KB4OEB (IRMA, BLOUNT)?"
            << "KB4OEB";
    }
    void unknownCall()
    {
        QFETCH(QString, call);
        QFETCH(bool, withDatabase);
        QFETCH(QString, text);
        QFETCH(QString, suggestion);
        TestRoot root({ { "BLOUNT", { Station("W4AAA", "AL"), Station("KB4OEB", "IRMA") } },
            { "TEXAS", { Station("KB4OEC", "TEX") } } });
        const QString db = LicenceDatabasePath(root.paths());
        if (withDatabase) {
            const QString zip = root.root() + "/l_amat.zip";
            QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\n"))));
            QVERIFY(ImportLicenceZip(zip, db).ok());
        }
        LicenceDatabase licences(db);
        const UnknownCallAnswer answer
            = AnswerUnknownCall(call, &licences, root.table(), QDate(2026, 12, 7));
        QCOMPARE(NotFoundText(call, answer), text);
        QCOMPARE(answer.suggestion ? answer.suggestion->call : QString(), suggestion);
        QVERIFY(answer.problems.isEmpty());
    }

    // A licence the weekly file still calls active is expired once its date has passed.
    void expiryDateDecides()
    {
        Licence l;
        l.status = 'A';
        l.expires = QDate(2026, 12, 6);
        QCOMPARE(l.lapse(QDate(2026, 12, 6)), "");
        QCOMPARE(l.lapse(QDate(2026, 12, 7)), "EXPIRED");
    }

    void nearMissAndSuffix()
    {
        TestRoot root({ { "BLOUNT",
                            { Station("KB4OEB", "IRMA"), Vacant(), Station("W4OEB", "WES"),
                                EndMarker(), Station("K4OEB", "AFTER THE END") } },
            { "MOBILE", { Station("N4OEB", "NED", "MOBILE"), Station("KB4OEA", "ALF") } } });
        const MemberCallSearch near = FindNearMisses(root.table(), "kb4oe");
        QCOMPARE(near.found.size(), size_t(2));
        QCOMPARE(near.found[0].call, "KB4OEB");
        QCOMPARE(near.found[0].county, "BLOUNT");
        QCOMPARE(near.found[0].recordNumber, 1);
        QCOMPARE(near.found[1].call, "KB4OEA");

        QStringList calls;
        for (const MemberCall &m : FindBySuffix(root.table(), "oeb").found)
            calls << m.call + ' ' + m.name + ' ' + m.county;
        QCOMPARE(
            calls, QStringList({ "KB4OEB IRMA BLOUNT", "N4OEB NED MOBILE", "W4OEB WES BLOUNT" }));
        QCOMPARE(FindBySuffix(root.table(), "KB4OEB").found.size(), size_t(0));
    }

    void suffixQuery_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("letters");
        QTest::newRow("one letter") << "?b"
                                    << "B";
        QTest::newRow("two letters") << "?eb"
                                     << "EB";
        QTest::newRow("three letters") << "?OEB"
                                       << "OEB";
        QTest::newRow("four letters") << "?XOEB"
                                      << "";
        QTest::newRow("no letters") << "?"
                                    << "";
        QTest::newRow("a digit") << "?4B"
                                 << "";
        QTest::newRow("no question mark") << "OEB"
                                          << "";
    }
    void suffixQuery()
    {
        QFETCH(QString, typed);
        QFETCH(QString, letters);
        QCOMPARE(SuffixQuery(typed).value_or(QString()), letters);
    }

    void ageNotice()
    {
        const QDate file(2026, 11, 1);
        QCOMPARE(LicenceAgeNotice(file, file.addDays(30)), "");
        QCOMPARE(LicenceAgeNotice(file, file.addDays(31)), "LICENCE DATABASE IS 31 DAYS OLD");
        QCOMPARE(LicenceAgeNotice(QDate(), file), "");
    }

    // The optional download, with the real client against a server on this machine: the
    // file arrives whole and imports; a stall ends it; only https (or this machine) is asked.
    void download_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("whole, in pieces") << "whole"
                                          << "";
        QTest::newRow("a stall after the first piece") << "stall"
                                                       << "127.0.0.1";
        QTest::newRow("not found") << "404"
                                   << "127.0.0.1";
        QTest::newRow("plain http to another host") << "http"
                                                    << "example.org";
    }
    void download()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        TestRoot root;
        const QByteArray zip = SampleZip(SampleLicences("\r\n"));
        LoopbackHttp http([&](const QUrl &) -> std::optional<LoopbackHttp::Reply> {
            if (kind == "404")
                return LoopbackHttp::Reply("gone", 404);
            LoopbackHttp::Reply reply(zip);
            reply.pieceBytes = 256;
            reply.paceMs = 5;
            if (kind == "stall")
                reply.stallAfter = 512;
            return reply;
        });
        const QUrl url
            = kind == "http" ? QUrl("http://example.org/l_amat.zip") : http.url("/l_amat.zip");
        const QString folder = QFileInfo(LicenceDatabasePath(root.paths())).absolutePath();
        qint64 lastReceived = 0;
        const Result<QString> file = DownloadLicenceZip(
            *root.services().web, url, folder,
            [&](qint64 received, qint64) { lastReceived = received; }, 300);
        if (error.isEmpty()) {
            QVERIFY2(file.ok(), qPrintable(file.error()));
            QCOMPARE(FileBytes(*file), zip);
            QCOMPARE(lastReceived, zip.size());
            QVERIFY(ImportLicenceZip(*file, LicenceDatabasePath(root.paths())).ok());
            QVERIFY(QFile::remove(*file));
        } else {
            QVERIFY(!file.ok());
            QVERIFY2(file.error().contains(error), qPrintable(file.error()));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
            error.isEmpty() ? QStringList { "licences.sqlite" } : QStringList());
        QCOMPARE(http.requests().size(), kind == "http" ? 0 : 1);
    }

    void downloadAddress()
    {
        TestRoot root({}, { { "Settings", "Licence Url", " https://example.org/l_amat.zip " } });
        QCOMPARE(LicenceDownloadUrl(root.settings()), QUrl("https://example.org/l_amat.zip"));
        TestRoot none;
        QVERIFY(LicenceDownloadUrl(none.settings()).isEmpty());
    }

    // vorq --import-licences: no display, progress on stderr, the exit status tells.
    void commandLine_data()
    {
        QTest::addColumn<bool>("good");
        QTest::newRow("a good zip") << true;
        QTest::newRow("a zip without EN.dat") << false;
    }
    void commandLine()
    {
        QFETCH(bool, good);
        TestRoot root;
        const PublishedFiles p = SampleLicences("\r\n");
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip,
            good ? SampleZip(p) : MakeZip({ { "AM.dat", p.am, true }, { "HD.dat", p.hd, true } })));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb"); // cannot start here: none may be needed
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
        process.start(VORQ_PROGRAM, { "--root", root.root(), "--import-licences", zip });
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitCode(), good ? 0 : 1);
        const QString db = LicenceDatabasePath(root.paths());
        QCOMPARE(QFileInfo::exists(db), good);
        if (good) {
            QVERIFY2(err.contains("importing l_amat.zip: 100%"), qPrintable(err));
            QVERIFY2(err.contains("EN.dat:8: 3 fields, at least 19 needed"), qPrintable(err));
            QVERIFY2(
                err.contains("7 licences of l_amat.zip (file of 2026-12-04)"), qPrintable(err));
        } else {
            QVERIFY2(err.contains("no EN.dat in the zip"), qPrintable(err));
            QVERIFY2(err.contains("was not replaced"), qPrintable(err));
        }
    }
};

QTEST_GUILESS_MAIN(TestLicences)
#include "tst_licences.moc"
