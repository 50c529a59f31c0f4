#include "roster/frmnetctl.h"
#include "roster/rosterhost.h"
#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "startup/supportfiles.h"
#include "failingfs.h"
#include "testroot.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Stands in for the main window's NET INFO column: logs each change in order.
class RecordingHost : public RosterHost
{
public:
    QString netManagerLabel() const override { return "EZRA   KJ4EZR"; }
    void setNetControlLabel(const QString &text) override { log << "NC " + text; }
    void setNetManagerLabel(const QString &text) override { log << "NM " + text; }
    void netControlChosen(bool regular) override { log << (regular ? "regular" : "alternate"); }
    void setIdReminderEnabled(bool enabled) override { log << (enabled ? "ID on" : "ID off"); }
    void focusCheckinBox() override { log << "focus"; }
    QStringList log;
};

namespace {

// Tuesday 10 March 2026 with the first start's roster: Tuesday is CYRUS, the user; EZRA manages.
struct Fixture
{
    Fixture() : root({}, { { "Settings", "User Name", "CYRUS" } })
    {
        QVERIFY(SeedRoster(root.settings()));
        FillStartupContext(context, root.services());
        InstallSupportFiles(context.UserDataFolder);
    }
    FrmNetCtl *open()
    {
        window = std::make_unique<FrmNetCtl>(root.services(), context, host);
        return window.get();
    }
    void type(const QString &nameAndCall)
    {
        window->TxtCtlName->setText(nameAndCall.section(' ', 0, 0));
        window->TxtCtlCall->setText(nameAndCall.section(' ', 1));
    }

    TestRoot root;
    StartupContext context;
    RecordingHost host;
    std::unique_ptr<FrmNetCtl> window;
};

QStringList lines(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The stored entries behind the weekday lines ("NAME CALL").
QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->data(Qt::UserRole).toString();
    return texts;
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
        QTest::addColumn<QString>("typed");
        QTest::addColumn<MsgButton>("answer");
        QTest::addColumn<int>("changedRow"); // -1: nothing stored
        QTest::newRow("today") << "TUESDAY" << "Tuesday" << "ZOE K4ZOE" << Yes << 2;
        QTest::newRow("another day") << "fRIDAY" << "Friday" << "ZOE K4ZOE" << Yes << 5;
        QTest::newRow("not sure") << "tuesday" << "Tuesday" << "ZOE K4ZOE" << No << -1;
        QTest::newRow("no name") << "Friday" << "Friday" << " K4ZOE" << Yes << -1;
        QTest::newRow("abbreviated day") << "Tue" << "Tue" << "ZOE K4ZOE" << Yes << -1;
    }

    void addNetControl()
    {
        QFETCH(QString, day);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(MsgButton, answer);
        QFETCH(int, changedRow);
        QVERIFY(w->txtDay->text() == "Tuesday" && !w->cmdAdd->isEnabled()); // on opening
        QStringList expected = entries(w->lst1);
        w->txtDay->setText(day);
        w->txtDay_Enter();
        QCOMPARE(w->txtDay->text(), shown);
        const bool weekday = shown != "Tue";
        QCOMPARE(w->cmdAdd->isEnabled(), weekday);
        f->type(typed);
        f->root.dialogs().answers << answer;
        w->cmdAdd_Click();
        // The question names the day; what is no weekday is said so, and nothing is asked.
        QCOMPARE(f->root.dialogs().messages.value(0).text,
            weekday ? "THIS WILL PERMANENTLY CHANGE THE SELECTED DAY'S NET CONTROL (" + shown.toUpper()
                    + "). ARE YOU SURE?"
                    : QString("DAY MUST BE A WEEKDAY, SUNDAY TO SATURDAY"));
        QCOMPARE(f->root.dialogs().messages.value(0).buttons, weekday ? Yes | No : Ok);
        const QString stored = changedRow < 0 ? "" : "focus";
        QCOMPARE(f->host.log.join(','), (changedRow == 2 ? "NC ZOE   K4ZOE," : "") + stored);
        if (changedRow >= 0)
            expected[changedRow] = "ZOE K4ZOE";
        QCOMPARE(entries(w->lst1), expected);
        QCOMPARE(entries(f->open()->lst1), expected); // as stored
    }

    void alternates()
    {
        for (const QString who : { "AL K4AAA", "BO K4BBB", "CY K4CCC", "DI K4DDD" }) {
            f->type(who);
            w->cmdAddAltNC_Click();
        }
        // The fourth finds no free place; the list shows what is stored.
        QCOMPARE(lines(w->lstAltNC), (QStringList { "AL K4AAA", "BO K4BBB", "CY K4CCC" }));
        w->mnuEditDelete_Click(); // Delete and EDIT need a selection
        w->cmdEdit_Click();
        w = f->open();
        w->lstAltNC->setCurrentRow(1);
        w->mnuEditEdit_Click();
        f->type("BOB K4BOB");
        w->cmdEdit_Click();
        QCOMPARE(lines(w->lstAltNC), (QStringList { "AL K4AAA", "BOB K4BOB", "CY K4CCC" }));
        w->lstAltNC->setCurrentRow(0);
        w->mnuEditDelete_Click();
        QCOMPARE(lines(w->lstAltNC), (QStringList { "BOB K4BOB", "CY K4CCC" })); // gap closed
        f->type(" "); // empty boxes add nothing
        w->cmdAddAltNC_Click();
        QCOMPARE(lines(w->lstAltNC), (QStringList { "BOB K4BOB", "CY K4CCC" }));
    }

    void failedSaveIsTold_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("a day's net control") << 0;
        QTest::newRow("the manager") << 1;
        QTest::newRow("a new alternate") << 2;
        QTest::newRow("an alternate deleted") << 3;
        QTest::newRow("an alternate edited") << 4;
    }

    void failedSaveIsTold()
    {
        QFETCH(int, change);
        QVERIFY(f->root.settings()
                    .saveAll({ SettingChange::Set("AltNC", "1", "AL K4AAA"),
                        SettingChange::Set("AltNC", "2", "BO K4BBB") })
                    .ok());
        w = f->open();
        const QString ini = f->root.settings().fileOf("VORQ");
        const QByteArray before = f->root.settingsBytes();
        const QStringList days = entries(w->lst1), alternates = lines(w->lstAltNC);
        FullDisk disk(f->root.root());
        if (!disk.isFull())
            QSKIP("cannot make the disk full here");
        if (change == 0) {
            f->type("ZOE K4ZOE");
            f->root.dialogs().answers << Yes;
            w->cmdAdd_Click();
        } else if (change == 1) {
            w->TxtMgrName->setText("MAX");
            w->TxtMgrCall->setText("W4MAX");
            w->cmdChange_Click();
        } else {
            w->lstAltNC->setCurrentRow(0);
            if (change == 4)
                w->mnuEditEdit_Click();
            f->type("CY K4CCC");
            if (change == 2)
                w->cmdAddAltNC_Click();
            else if (change == 3)
                w->mnuEditDelete_Click();
            else
                w->cmdEdit_Click();
        }
        const DialogRecord told = f->root.dialogs().messages.last();
        QCOMPARE(told.icon, MsgIcon::Critical);
        QVERIFY2(told.text.startsWith("The roster could not be saved.\nSETTINGS NOT SAVED: " + ini + ": "),
            qPrintable(told.text));
        // Nothing is shown as changed, and an edit stays open for another try.
        QCOMPARE(f->host.log, QStringList());
        QCOMPARE(entries(w->lst1), days);
        QCOMPARE(lines(w->lstAltNC), alternates);
        QCOMPARE(w->altNCEditMode(), change == 4);
        QCOMPARE(f->root.settingsBytes(), before);
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
                               << QStringList { QString("NC ") + label, "NM EZRA   KJ4EZR",
                                      chosen, id };
        };
        row("today's line", 2, -1, "", "CYRUS   KF4CYR", "regular", "ID on");
        row("another day's line", 5, -1, "", "FLORINE   KK4FLO", "alternate", "ID off");
        row("today then alternate", 2, 0, "", "AL   K4AAA", "alternate", "ID off");
        row("today's line retyped", 2, -1, "ZED KF4CYR", "ZED   KF4CYR", "alternate", "ID off");
        row("typed own name", -1, -1, "CYRUS K4CCC", "CYRUS   K4CCC", "alternate", "ID on");
        row("own name, other case", -1, -1, "Cyrus K4CCC", "Cyrus   K4CCC", "alternate", "ID off");
        row("own name as prefix", -1, -1, "CYRUSS K4CCC", "CYRUSS   K4CCC", "alternate", "ID off");
    }

    void clickOnADayFillsTheForm()
    {
        // Each line shows its weekday; a click puts the day and the entry in the boxes, and
        // a call typed in small letters shows in capitals.
        QCOMPARE(w->lst1->item(5)->text(), "FRI  " + entries(w->lst1).value(5));
        w->lst1->setCurrentRow(5);
        w->lst1_Click();
        QCOMPARE(w->txtDay->text() + '|' + w->TxtCtlName->text() + ' ' + w->TxtCtlCall->text(),
                 "Friday|" + entries(w->lst1).value(5));
        QVERIFY(w->cmdAdd->isEnabled());
        w->TxtCtlCall->clear();
        QTest::keyClicks(w->TxtCtlCall, "k4zoe");
        QCOMPARE(w->TxtCtlCall->text(), "K4ZOE");
    }

    void ok()
    {
        QFETCH(int, dayRow);
        QFETCH(int, altRow);
        QFETCH(QString, typed);
        QFETCH(QStringList, log);
        QVERIFY(f->root.settings().save("AltNC", "1", "AL K4AAA"));
        w = f->open();
        w->lst1->setCurrentRow(dayRow);
        w->lst1_Click();
        w->lstAltNC->setCurrentRow(altRow);
        w->lstAltNC_Click();
        if (!typed.isEmpty())
            f->type(typed);
        w->TxtMgrCall->setText("kj4ezr");
        w->cmdOK_Click();
        QCOMPARE(f->host.log, log + QStringList { "focus" }); // closed
        QVERIFY(f->context.AltNetControlChosen);
        QCOMPARE(entries(f->open()->lst1).value(2), "CYRUS KF4CYR"); // nothing stored by OK
    }

    void managerInstructionsAndClosing()
    {
        w->show();
        w->CmdClrNM_Click();
        w->cmdClose_Click(); // no manager: stays open
        QVERIFY(w->isVisible());
        w->TxtMgrName->setText("MAX");
        w->cmdChange_Click(); // no call: ignored
        w->TxtMgrCall->setText("w4max");
        w->cmdChange_Click();
        const SettingsStore &s = f->root.settings();
        QCOMPARE(s.get("Settings", "NetMgr") + ' ' + s.get("Settings", "NetMgrCall"), "MAX W4MAX");
        w->cmdClose_Click(); // closes and hands the focus back
        QCOMPARE(f->host.log, QStringList({ "NM MAX   W4MAX", "focus" }));

        // Opened from the menu the focus stays where the menu left it; the new manager is shown.
        w = f->open();
        QCOMPARE(w->TxtMgrName->text() + ' ' + w->TxtMgrCall->text(), "MAX W4MAX");
        w->NetCtlFromMenu = true;
        w->show();
        w->cmdClose_Click();
        QVERIFY(!w->isVisible() && !w->NetCtlFromMenu && f->host.log.size() == 2);

        // The instructions box shows AltNC.txt, and is empty without it.
        const QString altText = f->context.UserDataFolder + "AltNC.txt";
        QCOMPARE(w->txtInstr->toPlainText(), QString::fromUtf8(FileBytes(altText)));
        QVERIFY(!FileBytes(altText).isEmpty() && QFile::remove(altText));
        QVERIFY(f->open()->txtInstr->toPlainText().isEmpty());
    }
};

QTEST_MAIN(TestFrmNetCtl)
#include "tst_frmnetctl.moc"
