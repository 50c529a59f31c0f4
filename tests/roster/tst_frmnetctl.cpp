#include "roster/frmnetctl.h"
#include "roster/rosterhost.h"
#include "startup/startupcontext.h"
#include "startup/supportfiles.h"
#include "testroot.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Stands in for the main window's NET INFO column.
class RecordingHost : public RosterHost
{
public:
    QString netManagerLabel() const override { return netMgr; }
    void setNetControlLabel(const QString &text) override { netCtl = text; }
    void setNetManagerLabel(const QString &text) override { netMgr = text; }
    void netControlChosen(bool todaysRegular) override { chosen << todaysRegular; }
    void setIdReminderEnabled(bool enabled) override { idReminder = enabled; }
    void clearMemberList() override { ++listsCleared; }
    void focusCheckinBox() override { ++focused; }

    QString netCtl = "CYRUS   KF4CYR", netMgr = "EZRA   KJ4EZR";
    QList<bool> chosen;
    std::optional<bool> idReminder;
    int listsCleared = 0, focused = 0;
};

class TestFrmNetCtl : public QObject
{
    Q_OBJECT

private slots:
    void addNetControl_data();
    void addNetControl();
    void alternates();
    void ok_data();
    void ok();
    void managerInstructionsAndClosing();
};

namespace {

// Tuesday 10 March 2026; Tuesday is CYRUS, the user; Saturday is empty.
struct Fixture
{
    Fixture()
        : root({},
            { { "Settings", "User Name", "CYRUS" }, { "Settings", "NetMgr", "EZRA" },
                { "Settings", "NetMgrCall", "KJ4EZR" } })
    {
        for (const QString day :
            { "Sunday ARLO KD4ARL", "Monday BEA KE4BEA", "Tuesday CYRUS KF4CYR",
                "Wednesday DEL KG4DEL", "Thursday EZRA KJ4EZR", "Friday FLO KK4FLO" }) {
            root.settings().save("NetCtl", day.section(' ', 0, 0), day.section(' ', 1, 1));
            root.settings().save("NetCtlCall", day.section(' ', 0, 0), day.section(' ', 2));
        }
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

} // namespace

void TestFrmNetCtl::addNetControl_data()
{
    QTest::addColumn<QString>("day"); // as typed into the day box
    QTest::addColumn<QString>("shown"); // as the box shows it after Enter
    QTest::addColumn<QString>("typed");
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<int>("changedRow"); // -1: nothing stored
    const auto row = [](const char *tag, const char *day, const char *shown, const char *typed,
                         MsgButton answer, int changedRow) {
        QTest::newRow(tag) << QString(day) << QString(shown) << QString(typed) << answer
                           << changedRow;
    };
    row("today", "TUESDAY", "Tuesday", "ZOE K4ZOE", Yes, 2);
    row("another day", "fRIDAY", "Friday", "ZOE K4ZOE", Yes, 5);
    row("not sure", "tuesday", "Tuesday", "ZOE K4ZOE", No, -1);
    row("no name", "Friday", "Friday", " K4ZOE", Yes, -1);
    row("abbreviated day", "Tue", "", "ZOE K4ZOE", Yes, -1);
}

void TestFrmNetCtl::addNetControl()
{
    QFETCH(QString, day);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(MsgButton, answer);
    QFETCH(int, changedRow);
    Fixture f;
    FrmNetCtl *w = f.open();
    QVERIFY(w->txtDay->text() == "Tuesday" && !w->cmdAdd->isEnabled()); // on opening
    QStringList expected = lines(w->lst1);
    w->txtDay->setText(day);
    w->txtDay_Enter();
    QCOMPARE(w->txtDay->text(), shown);
    QCOMPARE(w->cmdAdd->isEnabled(), !shown.isEmpty());
    f.type(typed);
    f.root.dialogs().answers << answer;
    w->cmdAdd_Click();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].text,
        "THIS WILL PERMANENTLY CHANGE THE SELECTED DAY'S NET CONTROL. ARE YOU SURE?");
    QCOMPARE(f.root.dialogs().messages[0].buttons, Yes | No);
    QCOMPARE(f.host.netCtl, changedRow == 2 ? "ZOE   K4ZOE" : "CYRUS   KF4CYR");
    QCOMPARE(f.host.listsCleared, int(changedRow >= 0));
    QCOMPARE(f.host.focused, int(changedRow >= 0));
    if (changedRow >= 0)
        expected[changedRow] = "ZOE K4ZOE";
    QCOMPARE(lines(w->lst1), expected);
    QCOMPARE(lines(f.open()->lst1), expected); // as stored
}

void TestFrmNetCtl::alternates()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    for (const QString who : { "AL K4AAA", "BO K4BBB", "CY K4CCC", "DI K4DDD" }) {
        f.type(who);
        w->cmdAddAltNC_Click();
    }
    // The fourth finds no free place and stays in the boxes; the list shows what is stored.
    const QStringList three { "AL K4AAA", "BO K4BBB", "CY K4CCC" };
    QCOMPARE(lines(w->lstAltNC), three);
    QCOMPARE(w->TxtCtlName->text(), "DI");

    // Delete and EDIT need a selection.
    w->lstAltNC->setCurrentRow(-1);
    w->mnuEditDelete_Click();
    w->cmdEdit_Click();
    w = f.open();
    QCOMPARE(lines(w->lstAltNC), three);

    w->lstAltNC->setCurrentRow(1);
    w->mnuEditEdit_Click();
    f.type("BOB K4BOB");
    w->cmdEdit_Click();
    QCOMPARE(lines(w->lstAltNC), (QStringList { "AL K4AAA", "BOB K4BOB", "CY K4CCC" }));

    // Deleting closes the gap.
    w->lstAltNC->setCurrentRow(0);
    w->mnuEditDelete_Click();
    QCOMPARE(lines(w->lstAltNC), (QStringList { "BOB K4BOB", "CY K4CCC" }));

    // A "VACANT" place is shown and reused; empty boxes add nothing.
    f.root.settings().save("AltNC", "1", "VACANT");
    w = f.open();
    QCOMPARE(lines(w->lstAltNC), (QStringList { "VACANT", "CY K4CCC" }));
    f.type("EVE K4EEE");
    w->cmdAddAltNC_Click();
    w->cmdAddAltNC_Click();
    QCOMPARE(lines(w->lstAltNC), (QStringList { "EVE K4EEE", "CY K4CCC" }));
}

void TestFrmNetCtl::ok_data()
{
    QTest::addColumn<int>("dayRow"); // picked first, -1 none
    QTest::addColumn<int>("altRow"); // picked next
    QTest::addColumn<QString>("typed"); // then typed over, when given
    QTest::addColumn<bool>("regular");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("idReminder");
    const auto row = [](const char *tag, int dayRow, int altRow, const char *typed, bool regular,
                         const char *label, bool id) {
        QTest::newRow(tag) << dayRow << altRow << QString(typed) << regular << QString(label) << id;
    };
    row("today's line", 2, -1, "", true, "CYRUS   KF4CYR", true);
    row("another day's line", 5, -1, "", false, "FLO   KK4FLO", false);
    row("alternate", -1, 0, "", false, "AL   K4AAA", false);
    row("today then alternate", 2, 0, "", false, "AL   K4AAA", false);
    row("today's line retyped", 2, -1, "ZED KF4CYR", false, "ZED   KF4CYR", false);
    row("typed own name", -1, -1, "CYRUS K4CCC", false, "CYRUS   K4CCC", true);
    row("own name, other case", -1, -1, "Cyrus K4CCC", false, "Cyrus   K4CCC", false);
    row("own name as prefix", -1, -1, "CYRUSS K4CCC", false, "CYRUSS   K4CCC", false);
}

void TestFrmNetCtl::ok()
{
    QFETCH(int, dayRow);
    QFETCH(int, altRow);
    QFETCH(QString, typed);
    QFETCH(bool, regular);
    QFETCH(QString, label);
    QFETCH(bool, idReminder);
    Fixture f;
    f.root.settings().save("AltNC", "1", "AL K4AAA");
    FrmNetCtl *w = f.open();
    w->lst1->setCurrentRow(dayRow);
    w->lst1_Click();
    w->lstAltNC->setCurrentRow(altRow);
    w->lstAltNC_Click();
    if (!typed.isEmpty())
        f.type(typed);
    w->TxtMgrCall->setText("kj4ezr");
    w->show();
    w->cmdOK_Click();
    QCOMPARE(f.host.netCtl, label);
    QCOMPARE(f.host.netMgr, "EZRA   KJ4EZR");
    QCOMPARE(f.host.chosen, QList<bool> { regular });
    QCOMPARE(f.host.idReminder, std::optional<bool>(idReminder));
    QVERIFY(f.context.AltNetControlChosen && !w->isVisible());
    QCOMPARE(lines(f.open()->lst1).value(2), "CYRUS KF4CYR"); // nothing stored by OK
}

void TestFrmNetCtl::managerInstructionsAndClosing()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    w->show();
    w->CmdClrNM_Click();
    w->cmdClose_Click(); // no manager: stays open
    QVERIFY(w->isVisible());
    w->TxtMgrName->setText("MAX");
    w->cmdChange_Click(); // no call: ignored
    QCOMPARE(f.root.settings().get("Settings", "NetMgr"), "EZRA");
    w->TxtMgrCall->setText("w4max");
    w->cmdChange_Click();
    QCOMPARE(f.host.netMgr, "MAX   W4MAX");
    QCOMPARE(f.root.settings().get("Settings", "NetMgr"), "MAX");
    QCOMPARE(f.root.settings().get("Settings", "NetMgrCall"), "W4MAX");
    w->cmdClose_Click();
    QVERIFY(!w->isVisible() && f.host.focused == 1);

    // Opened from the menu the focus stays where the menu left it; the new manager is shown.
    w = f.open();
    QCOMPARE(w->TxtMgrName->text() + ' ' + w->TxtMgrCall->text(), "MAX W4MAX");
    w->NetCtlFromMenu = true;
    w->show();
    w->cmdClose_Click();
    QVERIFY(!w->isVisible() && !w->NetCtlFromMenu && f.host.focused == 1);

    // The instructions box shows AltNC.txt, and is empty without it.
    QFile altText(f.context.UserDataFolder + "AltNC.txt");
    QVERIFY(altText.open(QIODevice::ReadOnly));
    QCOMPARE(w->txtInstr->toPlainText(), QString::fromUtf8(altText.readAll()));
    QVERIFY(altText.remove());
    QVERIFY(f.open()->txtInstr->toPlainText().isEmpty());
}

QTEST_MAIN(TestFrmNetCtl)
#include "tst_frmnetctl.moc"
