#include "reports/frmreport.h"
#include "reports/frmreporteditor.h"
#include "reports/reporttext.h"
#include "startup/startupcontext.h"
#include "testroot.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

void StoreMonth(TestRoot &root)
{
    for (auto [section, key, value] :
         { SettingValue { "Report", "Sessions", "11" }, { "Report", "Checkins", "134" },
           { "Report", "Traffic", "9" }, { "Report", "ResetReport", "False" },
           { "NewMember", "0", "K4AAA AL" }, { "NewMember", "2", "W4BBB BO" },
           { "NewMember", "15", "N4ZZZ ZED" } })
        root.settings().save(section, key, value);
}

QStringList Keys(TestRoot &root, const QString &section, const QStringList &keys)
{
    QStringList values;
    for (const QString &key : keys)
        values << root.settings().get(section, key);
    return values;
}

// A report window or the editor on a root, driven through its named controls.
template<typename Window>
struct Opened
{
    template<typename... Extra>
    explicit Opened(TestRoot &r, Extra &...extra) : window(r.services(), context, extra...) { }
    QStringList texts(std::initializer_list<const char *> names) const
    {
        QStringList out;
        for (const char *name : names)
            out << window.template findChild<QObject *>(name)->property("text").toString();
        return out;
    }
    QPushButton *button(const char *name) const
    {
        return window.template findChild<QPushButton *>(name);
    }
    QListWidget *list() const { return window.template findChild<QListWidget *>(); }
    QStringList listed() const
    {
        QStringList items;
        for (int i = 0; i < list()->count(); ++i)
            items << list()->item(i)->text();
        return items;
    }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(const char *name, const QString &text)
    {
        auto *box = window.template findChild<QLineEdit *>(name);
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    StartupContext context;
    Window window;
};

} // namespace

class TestReportWindows : public QObject
{
    Q_OBJECT

private slots:
    void report_data();
    void report();
    void decemberInJanuaryNamesLastYear();
    void editor();
};

void TestReportWindows::report_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("firstKeyEmptied");
    QTest::addColumn<int>("printers");
    QTest::addColumn<bool>("printFails");
    QTest::addColumn<QStringList>("figures");
    QTest::addColumn<QStringList>("members");
    const QStringList month { "11", "134", "9" };
    QTest::newRow("nothing stored, no printer")
        << false << false << 0 << false << QStringList { "0", "0", "0" } << QStringList {};
    QTest::newRow("with members, print fails")
        << true << false << 1 << true << month << QStringList { "K4AAA AL", "W4BBB BO" };
    // Emptied by the editor's Delete: the stations after it still belong in the report.
    QTest::newRow("key 0 emptied, printed")
        << true << true << 1 << false << month << QStringList { "W4BBB BO" };
}

void TestReportWindows::report()
{
    QFETCH(bool, stored);
    QFETCH(bool, firstKeyEmptied);
    QFETCH(int, printers);
    QFETCH(bool, printFails);
    QFETCH(QStringList, figures);
    QFETCH(QStringList, members);
    TestRoot root;
    if (stored)
        StoreMonth(root);
    if (firstKeyEmptied)
        root.settings().save("NewMember", "0", "");
    root.printer().printers = printers;
    root.printer().failNext = printFails;
    ReportPeriod period = InitialReportPeriod(root.clock().today());
    Opened<FrmReport> report(root, period);
    QCOMPARE(report.texts({ "lblSC", "lblTchkin", "lblTC" }), figures);
    QCOMPARE(report.listed(), members);

    const QString subject = "TASKORA SECTION PHONE NET REPORT FOR March 2026";
    const QStringList expected =
        QStringList { subject, "", "SESSIONS CALLED: " + figures[0], "TOTAL CHECKINS: " + figures[1],
                      "TRAFFIC COUNT: " + figures[2], "", "NEW CHECKINS", "" }
        + members + QStringList { "", "THIS NET REPORT WAS SENT VIA THE VORQ Vx PROGRAM" };
    for (int copy = 0; copy < 2; ++copy) {
        QGuiApplication::clipboard()->setText("old");
        report.click("CmdCopy");
        QCOMPARE(QGuiApplication::clipboard()->text().split("\r\n"), expected);
        QCOMPARE(report.texts({ "CmdCopy" }), QStringList { "REPORT COPIED" });
    }
    QCOMPARE(Keys(root, "Report", { "Subject", "MsgText" }),
             QStringList({ subject, expected.mid(2).join("\r\n") }));
    auto &messages = root.dialogs().messages;
    QCOMPARE(messages.value(0).text, "This Net Report is for the Month of March Is this correct?");
    QCOMPARE(messages.value(0).buttons, Yes | No);
    QVERIFY(root.dialogs().modalWindows.isEmpty());

    // Print: with no printer the button is off and does nothing.
    QCOMPARE(report.button("cmdPrint")->isEnabled(), printers > 0);
    messages.clear();
    report.button("cmdPrint")->click();
    QStringList asked;
    for (const DialogRecord &message : messages)
        asked << message.text;
    if (printers > 0)
        QCOMPARE(asked.takeFirst(), "This Net Report is for the month of March Is this correct?");
    QCOMPARE(asked, printFails ? QStringList { "PRINTER ERROR - FIX PROBLEM AND TRY AGAIN!" }
                               : QStringList {});
    QVERIFY(root.printer().current.isEmpty());
    QCOMPARE(root.printer().documents.size(), printers > 0 && !printFails ? 1 : 0);
    if (!root.printer().documents.isEmpty()) {
        const QList<PrintCell> empty;
        QList<QList<PrintCell>> page { empty, empty, empty, { { 30, subject } }, empty,
                                       { { 0, "SESSIONS CALLED:" + figures[0] } },
                                       { { 0, "TOTAL CHECKINS:" + figures[1] } },
                                       { { 0, "TRAFFIC COUNT:" + figures[2] } }, empty, empty,
                                       { { 30, "NEW CHECKINS ADDED THIS MONTH" } }, empty };
        for (const QString &member : members)
            page << QList<PrintCell> { { 30, member } };
        QCOMPARE(root.printer().documents[0], page);
    }
    if (!stored)
        return;

    // Reset, asking nothing, empties the month in the window and the store.
    messages.clear();
    report.click("cmdReset");
    QVERIFY(messages.isEmpty());
    QCOMPARE(report.texts({ "lblSC", "lblTchkin", "lblTC" }), QStringList({ "0", "0", "0" }));
    QVERIFY(report.listed().isEmpty());
    QVERIFY(!report.button("cmdReset")->isEnabled());
    QCOMPARE(Keys(root, "Report", { "Sessions", "Checkins", "Traffic", "ResetReport" }),
             QStringList({ "0", "0", "0", "True" }));
    QCOMPARE(report.context.ReportResetFlag, "True");
    QCOMPARE(Keys(root, "NewMember", { "0", "2", "15" }), QStringList({ "", "", "N4ZZZ ZED" }));
}

void TestReportWindows::decemberInJanuaryNamesLastYear()
{
    TestRoot root({}, {}, QDateTime(QDate(2026, 1, 6), QTime(20, 0)));
    ReportPeriod period = InitialReportPeriod(root.clock().today());
    Opened<FrmReport> report(root, period);
    root.dialogs().answers << No << No;
    root.dialogs().modalScripts << [](QDialog *month) {
        QTest::mouseClick(month->findChild<QPushButton *>("cmdDec"), Qt::LeftButton);
        return month->result();
    };
    // The second month window is closed without a pick, which changes nothing.
    for (const char *asked : { "Month of January Is", "Month of DECEMBER Is" }) {
        report.click("CmdCopy");
        QVERIFY(root.dialogs().messages.last().text.contains(asked));
        QCOMPARE(root.settings().get("Report", "Subject"),
                 "TASKORA SECTION PHONE NET REPORT FOR DECEMBER 2025");
    }
    QCOMPARE(root.dialogs().modalWindows, QStringList({ "frmMonth", "frmMonth" }));
}

void TestReportWindows::editor()
{
    TestRoot root;
    StoreMonth(root);
    root.settings().save("Report", "Checkins", "134abc");
    Opened<frmReportEditor> editor(root);
    QCOMPARE(editor.texts({ "txtSessions", "txtCheckins", "txtTraffic" }),
             QStringList({ "11", "134", "9" }));
    QCOMPARE(editor.listed(), QStringList({ "K4AAA AL", "W4BBB BO" }));

    editor.type("txtAdd", "K4NEW NED");
    editor.click("cmdAdd");
    QCOMPARE(editor.texts({ "txtAdd" }), QStringList { QString() });
    // Added, then deleted before Save: the store does not hold it, so it stays.
    editor.list()->setCurrentRow(2);
    editor.click("cmdDelete");
    QCOMPARE(editor.listed(), QStringList({ "K4AAA AL", "W4BBB BO", " K4NEW NED" }));
    // A stored entry goes from the store at once.
    editor.list()->setCurrentRow(0);
    editor.click("cmdDelete");
    QCOMPARE(editor.listed(), QStringList({ "W4BBB BO", " K4NEW NED" }));
    // An edit is put back in its place, and stored only by Save.
    editor.list()->setCurrentRow(0);
    editor.click("cmdEdit");
    QCOMPARE(editor.texts({ "Label1", "txtAdd" }), QStringList({ "EDIT NEW MEMBER", "W4BBB BO" }));
    editor.type("txtAdd", "W4BBB BOB");
    editor.click("cmdMove");
    QCOMPARE(editor.listed(), QStringList({ "W4BBB BOB", " K4NEW NED" }));
    QCOMPARE(editor.texts({ "Label1" }), QStringList { "ADD NEW MEMBER" });
    QCOMPARE(Keys(root, "NewMember", { "0", "1", "2" }), QStringList({ "", "", "W4BBB BO" }));

    editor.type("txtAdd", "W4TWO TIM");
    editor.click("cmdAdd");
    editor.type("txtSessions", "12x");
    editor.click("CmdSave");
    QCOMPARE(root.settings().get("Report", "Sessions"), "12x");
    QCOMPARE(Keys(root, "NewMember", { "0", "1", "2", "3", "15" }),
             QStringList({ "W4BBB BOB", " K4NEW NED", " W4TWO TIM", "", "" }));
    QVERIFY(!editor.button("CmdSave")->isEnabled());
}

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
