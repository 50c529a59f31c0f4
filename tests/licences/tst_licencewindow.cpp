#include "licences/licencedatabase.h"
#include "licences/licenceimport.h"
#include "licencetestfiles.h"
#include "loopbackhttp.h"
#include "maintenance/ui/memberinfoframe.h"
#include "mainwindowfixture.h"
#include "qrz/ui/nonlistedframe.h"
#include "spokenevents.h"

#include <QAction>
#include <QMenuBar>

namespace {

// The sample licence database, imported into the fixture's root.
void ImportSample(MainWindowFixture &f)
{
    const QString zip = f.root.root() + "/l_amat.zip";
    QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\r\n"))));
    QVERIFY(ImportLicenceZip(zip, LicenceDatabasePath(f.root.paths())).ok());
}

// A net's members, written before the window opens.
void WriteMembers(MainWindowFixture &f)
{
    f.root.writeStations("BLOUNT", { Station("KB4OEB", "IRMA"), Station("W4OEB", "WES") });
    f.root.writeStations("MOBILE", { Station("N4AAA", "ANN") });
}

const QDateTime NetEvening(QDate(2026, 12, 7), QTime(19, 0));

} // namespace

// The operator's side: calls typed into CALLSIGN of the real main window.
class TestLicenceWindow : public QObject
{
    Q_OBJECT

private slots:
    void typedCallsNotFound_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("status");
        QTest::newRow("a licensed non-member")
            << "W4XYZ"
            << "W4XYZ NOT FOUND - JOHN SMITH, MOBILE AL (GENERAL)";
        QTest::newRow("an expired licence")
            << "W4OLD"
            << "W4OLD NOT FOUND - MARY JONES, DOTHAN AL (EXTRA, EXPIRED)";
        QTest::newRow("no licence") << "K9NON"
                                    << "K9NON NOT FOUND - NO US LICENCE";
        QTest::newRow("a typo of a member")
            << "KB4OE"
            << "KB4OE NOT FOUND - DID YOU MEAN KB4OEB (IRMA, BLOUNT)?";
    }
    void typedCallsNotFound()
    {
        QFETCH(QString, call);
        QFETCH(QString, status);
        MainWindowFixture f({}, {}, NetEvening);
        WriteMembers(f);
        ImportSample(f);
        FrmMain &w = f.openActive();
        SpokenEvents spoken(w);
        f.type(call);
        QCOMPARE(f.status(), status);
        // A screen reader hears it once, whole, while the caret waits in CALLSIGN.
        QTRY_COMPARE(spoken.said, QStringList { status });
        QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
        QCOMPARE(w.findChild<QListWidget *>("lstEarly")->count(), 1);
        QCOMPARE(w.findChild<QListWidget *>("lstEarly")->item(0)->text(),
            call); // the line stays the call the clicks take
        QCOMPARE(w.findChild<QListWidget *>("lstEarly")->item(0)->toolTip(), status);
        QCOMPARE(f.checkins(), "0");
    }

    // What the operator sees, a screen reader hears; what it reads, it reads as words.
    void screenReaderHearsTheNet()
    {
        MainWindowFixture f({}, {}, NetEvening);
        f.root.writeStations("BLOUNT",
            { Station("KC4AYI", "BOB", "BLOUNT", "", "HAYDEN"), Station("W4OEB", "WES") });
        FrmMain &w = f.openActive();
        SpokenEvents spoken(w);
        f.type("KC4AYI");
        QTRY_COMPARE(spoken.said.value(0), "KC4AYI CHECKED IN, BLOUNT - CHECK INS 1");
        QTest::keyClick(named<QLineEdit>(w, "txtChkin"), Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE(spoken.said.value(1), "TRAFFIC 1");
        f.choose("BLOUNT");
        QTRY_COMPARE(spoken.said.value(2), "BLOUNT COUNTY MEMBERS, 2");
        QCOMPARE(spoken.said.size(), 3);
        auto name = [&w](const char *control) {
            return QAccessible::queryAccessibleInterface(w.findChild<QWidget *>(control))
                ->text(QAccessible::Name);
        };
        QCOMPARE(name("lblChkins") + " / " + name("lblTraffic"), "CHECK INS, 1 / TRAFFIC, 1");
        QCOMPARE(f.memberLine("KC4AYI")->data(Qt::AccessibleTextRole).toString(),
            "KC4AYI, BOB, HAYDEN, checked in");
        QCOMPARE(f.memberLine("W4OEB")->data(Qt::AccessibleTextRole).toString(), "W4OEB, WES");
    }

    // Ctrl+Enter takes the suggestion as a typed check-in of the member; with nothing
    // suggested it does nothing.
    void ctrlEnterChecksInTheSuggestion()
    {
        MainWindowFixture f({}, {}, NetEvening);
        WriteMembers(f);
        ImportSample(f);
        FrmMain *w = &f.openActive();
        QTest::keyClick(named<QLineEdit>(*w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.checkins(), "0");
        // With a county shown nothing is checked in by typing: the typo stays unknown.
        f.choose("BLOUNT");
        f.type("KB4OE");
        QTest::keyClick(named<QLineEdit>(*w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.checkins() + ' ' + f.lines("lstEarly").join(' '), "0 KB4OE");
        f.choose("EARLY CHECKINS");
        f.type("W9ZZ");
        f.type("KB4OE");
        f.type("KB4OE"); // typed twice, listed once
        QCOMPARE(f.lines("lstEarly"), QStringList({ "KB4OE", "W9ZZ" }));
        QTest::keyClick(named<QLineEdit>(*w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.checkins(), "1");
        QCOMPARE(f.root.record("BLOUNT", 1).LastDate.trimmed(), "12/7/2026");
        QVERIFY2(f.status().contains("KB4OEB"), qPrintable(f.status()));
        // The typo was no unknown station: it leaves NON LISTED, and a resume agrees.
        QCOMPARE(f.lines("lstEarly"), QStringList { "W9ZZ" });
        f.window.reset(); // the program stops; a resume agrees
        f.root.dialogs().answers.enqueue(Yes);
        w = &f.openActive();
        QCOMPARE(f.lines("lstEarly"), QStringList { "W9ZZ" });
        // Taken once: a second Ctrl+Enter checks nobody in again.
        QTest::keyClick(named<QLineEdit>(*w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.checkins(), "1");
        // A suggestion belongs to the call typed last: a member checked in after it ends it.
        f.type("KB4OE");
        f.type("N4AAA");
        QCOMPARE(f.checkins(), "2");
        QTest::keyClick(named<QLineEdit>(*w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.checkins(), "2");
        QCOMPARE(f.lines("lstEarly"), QStringList({ "W9ZZ", "KB4OE" }));
    }

    // "?" and the suffix's letters list the members under the box; arrows and Enter check
    // the chosen one in, Escape closes the list.
    void suffixSearch()
    {
        MainWindowFixture f({}, {}, NetEvening);
        WriteMembers(f);
        ImportSample(f);
        f.root.screen().pixels = QSize(1024, 768);
        FrmMain &w = f.openActive();
        f.type("?oeb");
        auto *list = w.findChild<QListWidget *>("lstSuffix");
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(list->item(0)->text().startsWith("KB4OEB  IRMA  BLOUNT"));
        QVERIFY(list->hasFocus());
        // Inside the window, every line whole.
        QVERIFY(w.rect().contains(list->geometry()));
        QVERIFY(list->viewport()->height() >= 2 * list->sizeHintForRow(0));
        QVERIFY(list->viewport()->width() >= list->sizeHintForColumn(0));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(f.checkins(), "1");
        QCOMPARE(f.root.record("BLOUNT", 2).LastDate.trimmed(), "12/7/2026");
        QCOMPARE(w.findChild<QListWidget *>("lstEarly")->count(), 0);

        f.type("?AAA");
        QVERIFY(list->isVisible());
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
        QCOMPARE(named<QLineEdit>(w, "txtChkin")->text(), "");
        QCOMPARE(f.checkins(), "1");

        f.type("?QQ");
        QCOMPARE(f.status(), "NO MEMBER CALL ENDS IN QQ");
        QCOMPARE(named<QLineEdit>(w, "txtChkin")->text(), "");
        QVERIFY(!list->isVisible());
        QCOMPARE(w.findChild<QListWidget *>("lstEarly")->count(), 0);
    }

    // Without a QRZ login a click on a non-listed call starts the ADD filled from the
    // licence, as a QRZ answer would fill it.
    void addFilledFromLicence_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("typedName"); // in NAME before the lookup
        QTest::addColumn<QString>("name"); // NAME after it
        QTest::newRow("click on the line") << "click"
                                           << ""
                                           << "JOHN";
        QTest::newRow("Enter on the line") << "enter"
                                           << ""
                                           << "JOHN";
        QTest::newRow("typed into ADD's CALL, Tab") << "typed"
                                                    << ""
                                                    << "JOHN";
        QTest::newRow("typed, NAME typed before") << "typed"
                                                  << "JACK"
                                                  << "JACK";
    }

    void addFilledFromLicence()
    {
        QFETCH(QString, way);
        QFETCH(QString, typedName);
        QFETCH(QString, name);
        MainWindowFixture f({}, {}, NetEvening);
        WriteMembers(f);
        ImportSample(f);
        FrmMain &w = f.openActive();
        auto *form = named<MemberInfoFrame>(w, "fraAdd");
        f.type("W4XYZ");
        auto *nonListed = w.findChild<NonListedFrame *>("FraSearch");
        if (way == "click") {
            nonListed->list()->setCurrentRow(0);
            emit nonListed->list()->itemClicked(nonListed->list()->item(0));
        } else if (way == "enter") {
            nonListed->list()->setFocus();
            QTest::keyClick(nonListed->list(), Qt::Key_Return);
        } else {
            QTest::keyClick(named<QLineEdit>(w, "txtChkin"), Qt::Key_N, Qt::ControlModifier);
            QVERIFY(named<QLineEdit>(*form, "txtCall")->hasFocus());
            named<QLineEdit>(*form, "txtName")->setText(typedName);
            QTest::keyClicks(named<QLineEdit>(*form, "txtCall"), "W4XYZ");
            QTest::keyClick(named<QLineEdit>(*form, "txtCall"), Qt::Key_Tab);
        }
        QCOMPARE(named<QLineEdit>(*form, "txtCall")->text(), "W4XYZ");
        QCOMPARE(named<QLineEdit>(*form, "txtName")->text(), name);
        QCOMPARE(named<QLineEdit>(*form, "txtCS")->text(), "MOBILE AL");
    }

    // Without a database nothing is judged, and a stale one is told at start.
    void databaseStateAtStart()
    {
        {
            MainWindowFixture f({}, {}, NetEvening);
            WriteMembers(f);
            f.openActive();
            f.type("K9NON");
            QCOMPARE(f.status(), "K9NON NOT FOUND");
        }
        MainWindowFixture f({}, {}, QDateTime(QDate(2027, 1, 20), QTime(19, 0)));
        WriteMembers(f);
        ImportSample(f);
        f.openActive();
        QCOMPARE(f.status(), "LICENCE DATABASE IS 47 DAYS OLD");
    }

    // File > Import Licence Database... imports the chosen zip and says what it took.
    void importFromTheMenu()
    {
        MainWindowFixture f({}, {}, NetEvening);
        WriteMembers(f);
        FrmMain &w = f.openActive();
        const QString zip = f.root.root() + "/l_amat.zip";
        QVERIFY(WriteBytes(zip, SampleZip(SampleLicences("\n"))));
        f.root.dialogs().openFiles.enqueue(zip);
        auto *item = w.findChild<QAction *>("mnuFileImportLicences");
        QVERIFY(item);
        item->trigger();
        QCOMPARE(f.status(),
            "LICENCE DATABASE IMPORTED: 7 CALLS, FILE OF 12/4/2026 - 1 MALFORMED LINES SKIPPED "
            "(FIRST: EN.dat:8: 3 fields, at least 19 needed)");
        f.type("W4XYZ");
        QCOMPARE(f.status(), "W4XYZ NOT FOUND - JOHN SMITH, MOBILE AL (GENERAL)");

        // A file of no licences replaces the database only when the operator says so.
        QVERIFY(WriteBytes(zip, SampleZip({ "\n", "\n", "\n" })));
        for (const MsgButton answer : { No, Yes }) {
            f.root.dialogs().openFiles.enqueue(zip);
            f.root.dialogs().answers.enqueue(answer);
            item->trigger();
            QCOMPARE(f.root.dialogs().messages.last().text,
                "THE FILE l_amat.zip YIELDS 0 LICENCES; THE DATABASE IN USE HOLDS 7.\n\nIT MAY "
                "BE DAMAGED OR NOT THE COMPLETE FILE. REPLACE THE DATABASE ALL THE SAME?");
            f.type("W4XYZ");
            QCOMPARE(f.status().startsWith("W4XYZ NOT FOUND - JOHN SMITH"), answer == No);
        }
    }

    // With Settings/Licence Url set, the same menu entry offers the download first.
    void downloadFromTheMenu()
    {
        const QByteArray zip = SampleZip(SampleLicences("\n"));
        LoopbackHttp http([&](const QUrl &) { return LoopbackHttp::Reply(zip); });
        MainWindowFixture f(
            {}, { { "Settings", "Licence Url", http.url("/l_amat.zip").toString() } }, NetEvening);
        WriteMembers(f);
        FrmMain &w = f.openActive();
        f.root.dialogs().answers.enqueue(Yes);
        w.findChild<QAction *>("mnuFileImportLicences")->trigger();
        QVERIFY2(
            f.status().startsWith("LICENCE DATABASE IMPORTED: 7 CALLS"), qPrintable(f.status()));
        QVERIFY(f.root.dialogs().openFiles.isEmpty());
        const QString folder = QFileInfo(LicenceDatabasePath(f.root.paths())).absolutePath();
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "licences.sqlite" });
    }
};

QTEST_MAIN(TestLicenceWindow)
#include "tst_licencewindow.moc"
