#include "failingfs.h"
#include "licences/licencedatabase.h"
#include "licences/licencedownload.h"
#include "licences/licencefields.h"
#include "licences/licenceimport.h"
#include "licences/membercalls.h"
#include "licences/unknowncall.h"
#include "licencetestfiles.h"
#include "loopbackhttp.h"
#include "platform/instancelock.h"
#include "testroot.h"
#include "zipwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <sys/resource.h>

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
        QTest::newRow("CR alone, deflated") << QByteArray("\r") << true;
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

    // A window that starts during an import clears leftovers of interrupted writes, and a
    // second import may be started beside it: neither touches the running import's files.
    void importKeepsItsFolder()
    {
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString old = root.root() + "/old.zip";
        QVERIFY(WriteBytes(old, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(old, db).ok());
        PublishedFiles changed = SampleLicences("\n");
        changed.en.replace("Smith", "Smythe");
        const QString zip = root.root() + "/new.zip";
        QVERIFY(WriteBytes(zip, SampleZip(changed)));
        QString second;
        const Result<LicenceImportReport> report = ImportLicenceZip(zip, db, [&](qint64, qint64) {
            if (second.isEmpty()) {
                RemoveLeftoverWrites(root.paths());
                const Result<LicenceImportReport> other = ImportLicenceZip(old, db);
                second = other ? QString("replaced") : other.error();
            }
            return true;
        });
        QVERIFY2(report.ok(), qPrintable(report.error()));
        QVERIFY2(second.startsWith(db + ": another import of the licence database is running"),
            qPrintable(second));
        QCOMPARE(LicenceDatabase(db).find("W4XYZ").value()->lastName, "Smythe");
        QCOMPARE(Leftovers(db), QStringList());
    }

    // An import killed half-way leaves its files; the next import clears them first.
    void killedImportsLeaveNothing()
    {
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString zip = root.root() + "/l_amat.zip";
        PublishedFiles many;
        for (int id = 1; id <= 60000; ++id) {
            const QByteArray call = "K4" + QByteArray::number(id, 36).toUpper();
            many.en += EnLine(id, call, "ANN", "", "SMITH", "TROY", "AL") + '\n';
            many.hd += HdLine(id, call, 'A', "01/01/2020", "01/01/2030") + '\n';
            many.am += AmLine(id, call, 'G') + '\n';
        }
        QVERIFY(WriteBytes(zip, SampleZip(many, false)));
        for (int kill = 0; kill < 2; ++kill) {
            QProcess process;
            process.setReadChannel(QProcess::StandardError);
            process.start(VORQ_PROGRAM, { "--root", root.root(), "--import-licences", zip });
            QVERIFY(process.waitForStarted());
            QByteArray said;
            while (!said.contains("importing") && process.waitForReadyRead(30000))
                said += process.readAllStandardError();
            process.kill();
            QVERIFY2(process.waitForFinished(), said.constData());
            QVERIFY2(process.exitStatus() == QProcess::CrashExit, said.constData());
        }
        QVERIFY(!Leftovers(db).isEmpty());
        QVERIFY(ImportLicenceZip(zip, db).ok());
        QCOMPARE(Leftovers(db), QStringList());
    }

    // A line without end (damage, or a file made to hurt) is never held whole: it is
    // counted as malformed and the lines around it are taken. The child's address space is
    // a fraction of the line, so a reader that held it would die.
    void endlessLineIsNotHeld()
    {
        TestRoot root;
        const PublishedFiles p = SampleLicences("\n");
        const QString zip = root.root() + "/l_amat.zip";
        const qint64 lineBytes = qint64(SlowTestRuns(2048)) << 20;
        {
            archive *a = archive_write_new();
            QVERIFY(archive_write_set_format_zip(a) == ARCHIVE_OK);
            QVERIFY(archive_write_set_options(a, "zip:compression-level=1") == ARCHIVE_OK);
            QVERIFY(
                archive_write_open_filename(a, QFile::encodeName(zip).constData()) == ARCHIVE_OK);
            auto add = [a](const char *name, const QList<QByteArray> &parts, qint64 repeat) {
                qint64 size = 0;
                for (const QByteArray &part : parts)
                    size += part.size();
                size += (repeat - 1) * parts[1].size();
                archive_entry *e = archive_entry_new();
                archive_entry_set_pathname(e, name);
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_perm(e, 0644);
                archive_entry_set_size(e, size);
                bool ok = archive_write_header(a, e) == ARCHIVE_OK;
                archive_entry_free(e);
                for (qsizetype i = 0; ok && i < parts.size(); ++i) {
                    for (qint64 r = 0; ok && r < (i == 1 ? repeat : 1); ++r)
                        ok = archive_write_data(a, parts[i].constData(), size_t(parts[i].size()))
                            == parts[i].size();
                }
                return ok;
            };
            // HD.dat: the sample's lines, then the endless one, then one more licence.
            const QByteArray block(1 << 20, 'A');
            QVERIFY(add("EN.dat", { p.en, {} }, 1));
            QVERIFY(add("AM.dat", { p.am, {} }, 1));
            QVERIFY(add("HD.dat",
                { p.hd + "HD|", block,
                    "\n" + HdLine(400, "K4END", 'A', "01/01/2020", "01/01/2030") + "\n" },
                lineBytes >> 20));
            QVERIFY(archive_write_close(a) == ARCHIVE_OK);
            archive_write_free(a);
        }
        QProcess process;
#if !defined(__SANITIZE_ADDRESS__)
        process.setChildProcessModifier([] {
            const rlimit limit { 1024L << 20, 1024L << 20 };
            ::setrlimit(RLIMIT_AS, &limit);
        });
#endif
        process.start(VORQ_PROGRAM, { "--root", root.root(), "--import-licences", zip });
        QVERIFY(process.waitForFinished(120000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            qPrintable(err));
        QVERIFY2(err.contains("HD.dat:11: longer than 4096 bytes"), qPrintable(err));
        LicenceDatabase licences(LicenceDatabasePath(root.paths()));
        QVERIFY(licences.find("K4END").value().has_value());
        QVERIFY(licences.find("W4XYZ").value().has_value());
    }

    // Identifiers as large as a number can hold are damage, not licences; the join slices
    // the range of those taken without passing its end.
    void identifiersAtTheEdge()
    {
        TestRoot root;
        PublishedFiles p = SampleLicences("\n");
        auto withId = [](QByteArray line, const QByteArray &id) {
            return line.replace(3, line.indexOf('|', 3) - 3, id) + '\n';
        };
        p.hd += withId(HdLine(1, "K4BIG", 'A', "01/01/2020", "01/01/2030"), "9223372036854775807");
        p.hd += withId(HdLine(1, "K4MAX", 'A', "01/01/2020", "01/01/2030"), "999999999999");
        p.en += withId(EnLine(1, "K4MAX", "MAX", "", "EDGE", "TROY", "AL"), "999999999999");
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip, SampleZip(p)));
        const QString db = LicenceDatabasePath(root.paths());
        const Result<LicenceImportReport> report = ImportLicenceZip(zip, db);
        QVERIFY2(report.ok(), qPrintable(report.error()));
        QVERIFY2(report->malformed.contains("HD.dat:11: system identifier out of range"),
            qPrintable(report->malformed.join('\n')));
        QCOMPARE(report->licences, 8);
        QCOMPARE(LicenceDatabase(db).find("K4MAX").value()->displayName(), "MAX EDGE");
    }

    // A file that yields no licence, or under half of those in use, is more likely the
    // wrong file than the truth: it replaces the database only when confirmed.
    void farFewerLicencesAreAsked_data()
    {
        QTest::addColumn<int>("keep"); // HD lines kept of the sample's; -1: blank lines only
        QTest::addColumn<QString>("asked"); // "fresh/in use"; empty: not asked
        QTest::addColumn<bool>("answer");
        QTest::newRow("blank lines, refused") << -1 << "0/7" << false;
        QTest::newRow("blank lines, confirmed") << -1 << "0/7" << true;
        QTest::newRow("three of seven, refused") << 4 << "3/7" << false;
        QTest::newRow("four of seven: not asked") << 5 << "" << false;
    }
    void farFewerLicencesAreAsked()
    {
        QFETCH(int, keep);
        QFETCH(QString, asked);
        QFETCH(bool, answer);
        TestRoot root;
        const QString db = LicenceDatabasePath(root.paths());
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\n"))));
        QVERIFY(ImportLicenceZip(zip, db).ok());
        PublishedFiles fewer = SampleLicences("\n");
        if (keep < 0)
            fewer = { "\n\n", "\n", "\n\n\n" };
        else
            fewer.hd = fewer.hd.split('\n').mid(0, keep).join('\n') + '\n';
        QVERIFY(WriteBytes(zip, SampleZip(fewer)));
        QString question;
        const Result<LicenceImportReport> report
            = ImportLicenceZip(zip, db, {}, [&](qint64 fresh, qint64 inUse) {
                  question = QString("%1/%2").arg(fresh).arg(inUse);
                  return answer;
              });
        QCOMPARE(question, asked);
        const bool replaced = asked.isEmpty() || answer;
        QCOMPARE(report.ok(), replaced);
        if (!replaced)
            QVERIFY2(report.error().endsWith("it yields " + asked.section('/', 0, 0)
                         + " licences, the database in "
                           "use holds 7"),
                qPrintable(report.error()));
        QCOMPARE(LicenceDatabase(db).find("K4TWO").value().has_value(), !replaced);
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
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("good");
        QTest::newRow("a good zip") << "good" << true;
        QTest::newRow("a zip without EN.dat") << "no EN" << false;
        QTest::newRow("a zip of blank lines") << "blank" << false;
        QTest::newRow("a zip of blank lines, forced") << "blank --force" << true;
    }
    void commandLine()
    {
        QFETCH(QString, kind);
        QFETCH(bool, good);
        TestRoot root;
        const PublishedFiles p = SampleLicences("\r\n");
        const QString zip = root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip,
            kind == "good"        ? SampleZip(p)
                : kind == "no EN" ? MakeZip({ { "AM.dat", p.am, true }, { "HD.dat", p.hd, true } })
                                  : SampleZip({ "\n", "\n", "\n" })));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb"); // cannot start here: none may be needed
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
        process.start(VORQ_PROGRAM,
            QStringList { "--root", root.root(), "--import-licences", zip }
                + (kind.endsWith("--force") ? QStringList { "--force" } : QStringList()));
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitCode(), good ? 0 : 1);
        const QString db = LicenceDatabasePath(root.paths());
        QCOMPARE(QFileInfo::exists(db), good);
        if (kind.startsWith("blank")) {
            QVERIFY2(
                err.contains("0 licences") && err.contains("--force") != good, qPrintable(err));
        } else if (good) {
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
