#include "failingfs.h"
#include "roster/rosterhost.h"
#include "roster/rosterschedule.h"
#include "roster/ui/frmnetctl.h"
#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "stationdb/atomicfile.h"
#include "testroot.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// Stands in for the main window's NET INFO column: logs each change in order.
class RecordingHost : public RosterHost
{
public:
    QString netManagerLabel() const override { return "EZRA   KJ4EZR"; }
    void setNetControlLabel(const QString &text) override { log << "NC " + text; }
    void setNetManagerLabel(const QString &text) override { log << "NM " + text; }
    void netControlChosen(const QString &, const QString &, bool regular) override
    {
        log << (regular ? "regular" : "alternate");
    }
    void setIdReminderEnabled(bool enabled) override { log << (enabled ? "ID on" : "ID off"); }
    void focusCheckinBox() override { log << "focus"; }
    QStringList log;
};

namespace {

// Tuesday 10 March 2026 with the first start's roster: Tuesday is CYRUS, the user; EZRA
// manages; AL is the first alternate.
struct Fixture
{
    Fixture()
        : root({}, { { "Settings", "User Name", "CYRUS" }, { "AltNC", "1", "AL K4AAA" } })
    {
        QVERIFY(SeedRoster(root.settings()));
        FillStartupContext(context, root.services());
    }
    FrmNetCtl *open()
    {
        window = std::make_unique<FrmNetCtl>(root.services(), context, host);
        return window.get();
    }
    void type(const QString &nameAndCall)
    {
        named<QLineEdit>(*window, "TxtCtlName")->setText(nameAndCall.section(' ', 0, 0));
        named<QLineEdit>(*window, "TxtCtlCall")->setText(nameAndCall.section(' ', 1));
    }

    TestRoot root;
    StartupContext context;
    RecordingHost host;
    std::unique_ptr<FrmNetCtl> window;
};

// The lines of a list; with a role, the data behind them (the stored "NAME CALL").
QStringList lines(const QListWidget *list, int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->data(role).toString();
    return texts;
}
QStringList entries(const QListWidget *list)
{
    return lines(list, Qt::UserRole);
}

} // namespace

class TestFrmNetCtl : public QObject
{
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    FrmNetCtl *w = nullptr;

private slots:
    void init() { w = (f = std::make_unique<Fixture>())->open(); }

    void addNetControl_data()
    {
        QTest::addColumn<QString>("day"); // as typed into the day box
        QTest::addColumn<QString>("shown"); // as the box shows it after Enter
        QTest::addColumn<MsgButton>("answer");
        QTest::addColumn<int>("changedRow"); // -1: nothing stored
        QTest::newRow("today") << "tUESDAY"
                               << "Tuesday" << Yes << 2;
        QTest::newRow("abbreviated day") << "Tue"
                                         << "Tue" << Yes << -1;
    }

    void addNetControl()
    {
        QFETCH(QString, day);
        QFETCH(QString, shown);
        QFETCH(MsgButton, answer);
        QFETCH(int, changedRow);
        QStringList expected = entries(named<QListWidget>(*w, "lst1"));
        named<QLineEdit>(*w, "txtDay")->setText(day);
        emit named<QLineEdit>(*w, "txtDay")->returnPressed();
        QCOMPARE(named<QLineEdit>(*w, "txtDay")->text(), shown);
        const bool weekday = shown != "Tue";
        QCOMPARE(named<QPushButton>(*w, "cmdAdd")->isEnabled(), weekday);
        f->type("ZOE K4ZOE");
        f->root.dialogs().answers << answer;
        if (!weekday) {
            // A day changed after a weekday's Enter leaves ADD as it was: ADD then says why.
            named<QLineEdit>(*w, "txtDay")->setText("Monday");
            emit named<QLineEdit>(*w, "txtDay")->returnPressed();
            named<QLineEdit>(*w, "txtDay")->setText(day);
        }
        named<QPushButton>(*w, "cmdAdd")->click();
        // The question names the day; what is no weekday is said so, and nothing is asked.
        QVERIFY(f->root.dialogs().messages.value(0).text.contains(
            weekday ? "(" + shown.toUpper() + ")" : "WEEKDAY"));
        QCOMPARE(f->host.log.join(','),
            QString(changedRow == 2 ? "NC ZOE   K4ZOE," : "") + (changedRow < 0 ? "" : "focus"));
        if (changedRow >= 0)
            expected[changedRow] = "ZOE K4ZOE";
        QCOMPARE(entries(named<QListWidget>(*f->open(), "lst1")), expected); // as stored
    }

    void alternates()
    {
        for (const QString who : { "BO K4BBB", "CY K4CCC" }) {
            f->type(who);
            named<QPushButton>(*w, "cmdAddAltNC")->click();
        }
        named<QListWidget>(*w, "lstAltNC")->setCurrentRow(1);
        named<QAction>(*w, "mnuEditEdit")->trigger();
        f->type("BOB K4BOB");
        // EDIT comes once the boxes are reached, by Tab as by a click.
        QVERIFY(!named<QPushButton>(*w, "cmdEdit")->isEnabled());
        QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(named<QLineEdit>(*w, "TxtCtlName"), &tabbedIn);
        named<QPushButton>(*w, "cmdEdit")->click();
        named<QListWidget>(*w, "lstAltNC")->setCurrentRow(0);
        named<QAction>(*w, "mnuEditDelete")->trigger();
        QCOMPARE(lines(named<QListWidget>(*f->open(), "lstAltNC")),
            (QStringList { "BOB K4BOB", "CY K4CCC" })); // gap closed
    }

    void failedSaveIsTold_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("full disk") << false;
        QTest::newRow("store made read-only") << true;
    }

    void failedSaveIsTold()
    {
        QFETCH(bool, readOnly);
        const QStringList days = entries(named<QListWidget>(*w, "lst1"));
        const QString ini = f->root.settings().fileOf("VORQ");
        const QByteArray before = ReadWholeFile(ini).value();
        std::unique_ptr<FullDisk> disk;
        ObeyFilePermissions obey;
        if (readOnly) {
            QVERIFY(obey.active() && QFile::setPermissions(ini, QFile::ReadOwner));
        } else {
            disk = std::make_unique<FullDisk>(f->root.root());
            if (!disk->isFull())
                QSKIP("cannot make the disk full here");
        }
        f->type("ZOE K4ZOE");
        f->root.dialogs().answers << Yes;
        emit named<QLineEdit>(*w, "txtDay")->returnPressed(); // today's day, as opened
        named<QPushButton>(*w, "cmdAdd")->click();
        const DialogRecord told = f->root.dialogs().messages.last();
        QVERIFY2(told.text.startsWith(
                     "The roster could not be saved.\nSETTINGS NOT SAVED: " + ini + ": "),
            qPrintable(told.text));
        if (readOnly) {
            QVERIFY(told.text.endsWith(": the file is read-only"));
            QCOMPARE(ReadWholeFile(ini).value(), before);
        }
        // Nothing is shown as changed.
        QCOMPARE(f->host.log, QStringList());
        QCOMPARE(entries(named<QListWidget>(*w, "lst1")), days);
    }

    void ok_data()
    {
        QTest::addColumn<int>("dayRow"); // picked first, -1 none
        QTest::addColumn<int>("altRow"); // picked next
        QTest::addColumn<QString>("typed"); // then typed over, when given
        QTest::addColumn<QStringList>("log"); // after the net control's label
        const auto row = [](const char *tag, int dayRow, int altRow, const char *typed,
                             const char *label, const char *chosen, const char *id) {
            QTest::newRow(tag) << dayRow << altRow << QString(typed)
                               << QStringList { QString("NC ") + label, "NM EZRA   KJ4EZR", chosen,
                                      id };
        };
        row("today's line", 2, -1, "", "CYRUS   KF4CYR", "regular", "ID on");
        row("another day's line", 5, -1, "", "FLORINE   KK4FLO", "alternate", "ID off");
        row("typed own name", -1, -1, "CYRUS K4CCC", "CYRUS   K4CCC", "alternate", "ID on");
    }

    void ok()
    {
        QFETCH(int, dayRow);
        QFETCH(int, altRow);
        QFETCH(QString, typed);
        QFETCH(QStringList, log);
        // A click puts the day and the entry in the boxes.
        named<QListWidget>(*w, "lst1")->setCurrentRow(dayRow);
        ClickCurrentLine(named<QListWidget>(*w, "lst1"));
        named<QListWidget>(*w, "lstAltNC")->setCurrentRow(altRow);
        ClickCurrentLine(named<QListWidget>(*w, "lstAltNC"));
        if (!typed.isEmpty()) {
            f->type(typed);
            emit named<QLineEdit>(*w, "TxtCtlCall")->returnPressed(); // on to DAY: OK comes
        }
        named<QLineEdit>(*w, "TxtMgrCall")->setText("kj4ezr");
        named<QPushButton>(*w, "cmdOK")->click();
        QCOMPARE(f->host.log, log + QStringList { "focus" }); // closed
        QCOMPARE(entries(named<QListWidget>(*f->open(), "lst1")).value(2),
            "CYRUS KF4CYR"); // nothing stored by OK
    }

    void linesChosenByKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("boxes"); // DAY, NAME and CALL after the keys
        // Tuesday is today's day; the list reached gives its first line the focus frame.
        QTest::newRow("the alternate under the focus frame, Space")
            << "lstAltNC" << QList<int> { Qt::Key_Space } << "Tuesday|AL|K4AAA";
        QTest::newRow("a day's line by arrows")
            << "lst1" << QList<int> { Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up }
            << "Tuesday|CYRUS|KF4CYR";
        QTest::newRow("End, then Space")
            << "lst1" << QList<int> { Qt::Key_End, Qt::Key_Space }
            << "Saturday|" + DefaultRoster().at(6).name + "|" + DefaultRoster().at(6).call;
        QTest::newRow("Tab through the lists: nothing taken")
            << "lst1" << QList<int> { Qt::Key_Tab, Qt::Key_Tab } << "Tuesday||";
        QTest::newRow("Tab through NAME: not made VACANT")
            << "txtDay" << QList<int> { Qt::Key_Tab, Qt::Key_Tab } << "Tuesday||";
    }

    void linesChosenByKeys()
    {
        QFETCH(QString, list);
        QFETCH(QList<int>, keys);
        QFETCH(QString, boxes);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->findChild<QWidget *>(list)->setFocus();
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(QStringList({ named<QLineEdit>(*w, "txtDay")->text(),
                                 named<QLineEdit>(*w, "TxtCtlName")->text(),
                                 named<QLineEdit>(*w, "TxtCtlCall")->text() })
                     .join('|'),
            boxes);
        // OK from the keyboard puts the line in charge.
        if (boxes.endsWith('|'))
            return;
        named<QPushButton>(*w, "cmdOK")->setFocus();
        QTest::keyClick(named<QPushButton>(*w, "cmdOK"), Qt::Key_Space);
        QCOMPARE(f->host.log.value(0),
            "NC " + NetInfoLabel(boxes.section('|', 1, 1), boxes.section('|', 2, 2)));
    }

    void managerAndClosing()
    {
        w->show();
        named<QPushButton>(*w, "CmdClrNM")->click();
        named<QPushButton>(*w, "cmdClose")->click(); // no manager: stays open
        QVERIFY(w->isVisible());
        named<QLineEdit>(*w, "TxtMgrName")->setText("MAX");
        named<QLineEdit>(*w, "TxtMgrCall")->setText("w4max");
        named<QPushButton>(*w, "cmdChange")->click();
        const SettingsStore &s = f->root.settings();
        QCOMPARE(s.get("Settings", "NetMgr") + ' ' + s.get("Settings", "NetMgrCall"), "MAX W4MAX");
        named<QPushButton>(*w, "cmdClose")->click(); // closes and hands the focus back
        QCOMPARE(f->host.log, QStringList({ "NM MAX   W4MAX", "focus" }));
    }
};

QTEST_MAIN(TestFrmNetCtl)
#include "tst_frmnetctl.moc"
