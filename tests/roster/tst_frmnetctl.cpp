#include "roster/frmnetctl.h"
#include "roster/rosterhost.h"
#include "startup/startupcontext.h"
#include "startup/supportfiles.h"
#include "testroot.h"

#include <QFile>
#include <QLabel>
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

    QString netCtl = "CYRUS   KF4CYR";
    QString netMgr = "EZRA   KJ4EZR";
    QList<bool> chosen;
    std::optional<bool> idReminder;
    int listsCleared = 0;
    int focused = 0;
};

class TestFrmNetCtl : public QObject
{
    Q_OBJECT

private slots:
    void loads();
    void dayBox_data();
    void dayBox();
    void addNetControl_data();
    void addNetControl();
    void alternates();
    void deleteAndEditNeedASelection();
    void editAlternate();
    void ok_data();
    void ok();
    void netManager();
    void callChecked();
    void closing();
};

namespace {

// Tuesday 10 March 2026; Tuesday is CYRUS, the user.
struct Fixture
{
    Fixture()
        : root({},
            { { "Settings", "User Name", "CYRUS" }, { "Settings", "NetMgr", "EZRA" },
                { "Settings", "NetMgrCall", "KJ4EZR" } })
    {
        const QStringList days { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
            "Saturday" };
        const QStringList names { "ARLO", "BEA", "CYRUS", "DEL", "EZRA", "FLO", "" };
        const QStringList calls { "KD4ARL", "KE4BEA", "KF4CYR", "KG4DEL", "KJ4EZR", "KK4FLO", "" };
        for (int i = 0; i < 7; ++i) {
            if (!names[i].isEmpty()) {
                root.settings().save("NetCtl", days[i], names[i]);
                root.settings().save("NetCtlCall", days[i], calls[i]);
            }
        }
        FillStartupContext(context, root.services());
        InstallSupportFiles(context.UserDataFolder);
    }
    FrmNetCtl *open()
    {
        window = std::make_unique<FrmNetCtl>(root.services(), context, host);
        return window.get();
    }
    QString alt(int k) { return root.settings().get("AltNC", QString::number(k)); }
    QStringList altList()
    {
        QStringList lines;
        for (int i = 0; i < window->lstAltNC->count(); ++i)
            lines << window->lstAltNC->item(i)->text();
        return lines;
    }

    TestRoot root;
    StartupContext context;
    RecordingHost host;
    std::unique_ptr<FrmNetCtl> window;
};

void pick(QListWidget *list, int row)
{
    list->setCurrentRow(row);
}

} // namespace

void TestFrmNetCtl::loads()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    QCOMPARE(w->windowTitle(), "Change NET CONTROL/MANAGER");
    QCOMPARE(w->lst1->count(), 7);
    QCOMPARE(w->lst1->item(0)->text(), "ARLO KD4ARL");
    QCOMPARE(w->lst1->item(6)->text(), " ");
    QCOMPARE(w->txtDay->text(), "Tuesday");
    QCOMPARE(w->TxtMgrName->text(), "EZRA");
    QCOMPARE(w->TxtMgrCall->text(), "KJ4EZR");
    QVERIFY(!w->cmdAdd->isEnabled() && !w->cmdOK->isEnabled() && !w->cmdEdit->isEnabled());
    QFile altText(f.context.UserDataFolder + "AltNC.txt");
    QVERIFY(altText.open(QIODevice::ReadOnly));
    QCOMPARE(w->txtInstr->toPlainText(), QString::fromUtf8(altText.readAll()));
    altText.remove();

    // Without a manager in the main window the boxes stay empty; without the instructions
    // file the box does.
    f.host.netMgr.clear();
    w = f.open();
    QVERIFY(w->TxtMgrName->text().isEmpty());
    QVERIFY(w->txtInstr->toPlainText().isEmpty());
}

void TestFrmNetCtl::dayBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("upper case") << "TUESDAY"
                                << "Tuesday";
    QTest::newRow("lower case") << "tuesday"
                                << "Tuesday";
    QTest::newRow("friday") << "fRIDAY"
                            << "Friday";
    QTest::newRow("abbreviation") << "Tue"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFrmNetCtl::dayBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f;
    FrmNetCtl *w = f.open();
    w->txtDay->setText(typed);
    w->txtDay_Enter();
    QCOMPARE(w->txtDay->text(), shown);
    QCOMPARE(w->cmdAdd->isEnabled(), !shown.isEmpty());
    QCOMPARE(w->cmdOK->isEnabled(), !shown.isEmpty());
}

void TestFrmNetCtl::addNetControl_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("name");
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("label");
    QTest::newRow("today") << "Tuesday"
                           << "ZOE" << Yes << true << "ZOE   K4ZOE";
    QTest::newRow("another day") << "Friday"
                                 << "ZOE" << Yes << true << "CYRUS   KF4CYR";
    QTest::newRow("not sure") << "Tuesday"
                              << "ZOE" << No << false << "CYRUS   KF4CYR";
    QTest::newRow("no name") << "Friday"
                             << "" << Yes << false << "CYRUS   KF4CYR";
    QTest::newRow("day cleared") << ""
                                 << "ZOE" << Yes << false << "CYRUS   KF4CYR";
}

void TestFrmNetCtl::addNetControl()
{
    QFETCH(QString, day);
    QFETCH(QString, name);
    QFETCH(MsgButton, answer);
    QFETCH(bool, stored);
    QFETCH(QString, label);
    Fixture f;
    FrmNetCtl *w = f.open();
    const QStringList before { w->lst1->item(2)->text(), w->lst1->item(5)->text() };
    w->txtDay->setText(day);
    w->TxtCtlName->setText(name);
    w->TxtCtlCall->setText("K4ZOE");
    f.root.dialogs().answers << answer;
    w->cmdAdd_Click();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].text,
        "THIS WILL PERMANENTLY CHANGE THE SELECTED DAY'S NET CONTROL. ARE YOU SURE?");
    QCOMPARE(f.root.dialogs().messages[0].buttons, Yes | No);
    QCOMPARE(f.host.netCtl, label);
    const int row = day == "Tuesday" ? 2 : 5;
    if (stored) {
        QCOMPARE(f.root.settings().get("NetCtl", day), name);
        QCOMPARE(f.root.settings().get("NetCtlCall", day), "K4ZOE");
        QCOMPARE(w->lst1->item(row)->text(), "ZOE K4ZOE");
        QCOMPARE(w->lst1->item(row == 2 ? 5 : 2)->text(), before[row == 2 ? 1 : 0]);
        QCOMPARE(f.host.listsCleared, 1);
        QCOMPARE(f.host.focused, 1);
    } else {
        QCOMPARE(QStringList({ w->lst1->item(2)->text(), w->lst1->item(5)->text() }), before);
        QCOMPARE(f.root.settings().get("NetCtl", ""), "");
        QCOMPARE(f.host.listsCleared, 0);
    }
}

void TestFrmNetCtl::alternates()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    for (const QString who : { "AL K4AAA", "BO K4BBB", "CY K4CCC", "DI K4DDD" }) {
        w->TxtCtlName->setText(who.section(' ', 0, 0));
        w->TxtCtlCall->setText(who.section(' ', 1));
        w->cmdAddAltNC_Click();
    }
    // The fourth finds no free place.
    QCOMPARE(f.altList(), (QStringList { "AL K4AAA", "BO K4BBB", "CY K4CCC" }));
    QVERIFY(w->TxtCtlName->text().isEmpty() == false); // DI stays in the boxes
    QCOMPARE(f.alt(3), "CY K4CCC");

    pick(w->lstAltNC, 0);
    w->mnuEditDelete_Click();
    QCOMPARE(f.altList(), (QStringList { "BO K4BBB", "CY K4CCC" }));
    QCOMPARE(f.alt(1), "BO K4BBB");
    QCOMPARE(f.alt(2), "CY K4CCC");
    QCOMPARE(f.alt(3), "");
    QVERIFY(w->TxtCtlName->text().isEmpty());

    pick(w->lstAltNC, 1);
    w->mnuEditDelete_Click();
    pick(w->lstAltNC, 0);
    w->mnuEditDelete_Click();
    QVERIFY(f.altList().isEmpty());
    QCOMPARE(f.alt(1), "");

    // A "VACANT" place is shown and reused.
    f.root.settings().save("AltNC", "1", "VACANT");
    f.root.settings().save("AltNC", "2", "BO K4BBB");
    w = f.open();
    QCOMPARE(f.altList(), (QStringList { "VACANT", "BO K4BBB" }));
    w->TxtCtlName->setText("EVE");
    w->TxtCtlCall->setText("K4EEE");
    w->cmdAddAltNC_Click();
    QCOMPARE(f.altList(), (QStringList { "EVE K4EEE", "BO K4BBB" }));

    // Empty boxes add nothing.
    w->cmdAddAltNC_Click();
    QCOMPARE(f.alt(3), "");
}

void TestFrmNetCtl::deleteAndEditNeedASelection()
{
    Fixture f;
    f.root.settings().save("AltNC", "1", "AL K4AAA");
    f.root.settings().save("AltNC", "2", "BO K4BBB");
    FrmNetCtl *w = f.open();
    QCOMPARE(w->lstAltNC->currentRow(), -1);
    w->TxtCtlName->setText("ZED");
    w->TxtCtlCall->setText("K4ZZZ");
    w->mnuEditDelete_Click();
    w->cmdEdit_Click();
    QCOMPARE(f.alt(1), "AL K4AAA");
    QCOMPARE(f.alt(2), "BO K4BBB");
    QCOMPARE(f.altList().size(), 2);
}

void TestFrmNetCtl::editAlternate()
{
    Fixture f;
    f.root.settings().save("AltNC", "1", "AL K4AAA");
    f.root.settings().save("AltNC", "2", "BO K4BBB");
    FrmNetCtl *w = f.open();
    pick(w->lstAltNC, 1);
    w->mnuEditEdit_Click();
    QVERIFY(w->txtDay->isHidden() && !w->txtDay->isEnabled() && w->lblDay->isHidden());
    w->lstAltNC_Click();
    QCOMPARE(w->TxtCtlName->text(), "BO");
    QCOMPARE(w->TxtCtlCall->text(), "K4BBB");
    // Calls are not checked while editing.
    w->TxtCtlCall->setText("K4BBBBB");
    w->TxtCtlCall_Enter();
    QCOMPARE(w->TxtCtlCall->text(), "K4BBBBB");
    w->TxtCtlName->setText("BOB");
    w->TxtCtlCall->setText("K4BOB");
    w->cmdEdit_Click();
    QCOMPARE(f.alt(2), "BOB K4BOB");
    QCOMPARE(f.alt(1), "AL K4AAA");
    QVERIFY(!w->altNCEditMode());
    QVERIFY(!w->txtDay->isHidden() && w->txtDay->isEnabled());
    QVERIFY(!w->cmdOK->isEnabled());
    QVERIFY(w->TxtCtlName->text().isEmpty());
}

void TestFrmNetCtl::ok_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("regular");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("idReminder");
    QTest::newRow("today's line") << "today" << true << "CYRUS   KF4CYR" << true;
    QTest::newRow("another day's line") << "friday" << false << "FLO   KK4FLO" << false;
    QTest::newRow("alternate") << "alternate" << false << "AL   K4AAA" << false;
    QTest::newRow("today then alternate") << "today+alternate" << false << "AL   K4AAA" << false;
    QTest::newRow("today's line retyped") << "today+typed" << false << "ZED   KF4CYR" << false;
    QTest::newRow("typed own name") << "typed" << false << "CYRUS   K4CCC" << true;
}

void TestFrmNetCtl::ok()
{
    QFETCH(QString, how);
    QFETCH(bool, regular);
    QFETCH(QString, label);
    QFETCH(bool, idReminder);
    Fixture f;
    f.root.settings().save("AltNC", "1", "AL K4AAA");
    FrmNetCtl *w = f.open();
    if (how.startsWith("today")) {
        pick(w->lst1, 2);
        w->lst1_Click();
    }
    if (how == "friday") {
        pick(w->lst1, 5);
        w->lst1_Click();
    }
    if (how.endsWith("alternate")) {
        pick(w->lstAltNC, 0);
        w->lstAltNC_Click();
    }
    if (how == "today+typed")
        w->TxtCtlName->setText("ZED");
    if (how == "typed") {
        w->TxtCtlName->setText("CYRUS");
        w->TxtCtlCall->setText("K4CCC");
    }
    w->TxtMgrCall->setText("kj4ezr");
    w->show();
    w->cmdOK_Click();
    QCOMPARE(f.host.netCtl, label);
    QCOMPARE(f.host.netMgr, "EZRA   KJ4EZR");
    QCOMPARE(f.host.chosen, QList<bool> { regular });
    QCOMPARE(f.host.idReminder, std::optional<bool>(idReminder));
    QVERIFY(f.context.AltNetControlChosen);
    QVERIFY(!w->isVisible());
    // Nothing stored by OK.
    QCOMPARE(f.root.settings().get("NetCtl", "Tuesday"), "CYRUS");
}

void TestFrmNetCtl::netManager()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    w->CmdClrNM_Click();
    w->TxtMgrName->setText("MAX");
    w->cmdChange_Click(); // no call: ignored
    QCOMPARE(f.root.settings().get("Settings", "NetMgr"), "EZRA");
    w->TxtMgrCall->setText("w4max");
    w->cmdChange_Click();
    QCOMPARE(f.host.netMgr, "MAX   W4MAX");
    QCOMPARE(f.root.settings().get("Settings", "NetMgr"), "MAX");
    QCOMPARE(f.root.settings().get("Settings", "NetMgrCall"), "W4MAX");
    // The next opening shows the new manager.
    w = f.open();
    QCOMPARE(w->TxtMgrName->text(), "MAX");
}

void TestFrmNetCtl::callChecked()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    w->TxtCtlName->clear();
    w->TxtCtlName_LostFocus();
    QCOMPARE(w->TxtCtlName->text(), "VACANT");
    w->TxtCtlCall->setText("k4zzzz");
    w->TxtCtlCall_Enter();
    QVERIFY(w->TxtCtlCall->text().isEmpty());
    QCOMPARE(f.root.sounds().played, QStringList { SoundName::Notify() });
    w->TxtCtlCall->setText("k4zzz");
    w->txtDay->setText("monday");
    w->TxtCtlCall_Enter();
    QCOMPARE(w->TxtCtlCall->text(), "k4zzz");
    QCOMPARE(w->txtDay->text(), "Monday");
    QVERIFY(w->cmdAdd->isEnabled());
    QCOMPARE(f.root.sounds().played.size(), 1);
}

void TestFrmNetCtl::closing()
{
    Fixture f;
    FrmNetCtl *w = f.open();
    w->show();
    w->CmdClrNM_Click();
    w->cmdClose_Click();
    QVERIFY(w->isVisible());
    QCOMPARE(f.host.focused, 0);
    w->TxtMgrName->setText("MAX");
    w->cmdClose_Click();
    QVERIFY(!w->isVisible());
    QCOMPARE(f.host.focused, 1);

    // Opened from the menu: the focus stays where the menu left it.
    w = f.open();
    w->NetCtlFromMenu = true;
    w->show();
    w->cmdClose_Click();
    QVERIFY(!w->isVisible());
    QCOMPARE(f.host.focused, 1);
    QVERIFY(!w->NetCtlFromMenu);
}

QTEST_MAIN(TestFrmNetCtl)
#include "tst_frmnetctl.moc"
