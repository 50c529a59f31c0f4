#include "reports/reporttext.h"
#include "reports/ui/frmreport.h"
#include "reports/ui/frmreporteditor.h"
#include "startup/startupcontext.h"
#include "testroot.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// A month with figures and new members, the last one past a gap.
const std::initializer_list<SettingValue> Month { { "Report", "Sessions", "11" },
    { "Report", "Checkins", "134" }, { "Report", "Traffic", "9" },
    { "Report", "ResetReport", "False" }, { "NewMember", "0", "K4AAA AL" },
    { "NewMember", "2", "W4BBB BO" }, { "NewMember", "15", "N4ZZZ ZED" } };

// The stored values of space-separated keys, '|'-joined.
QString Keys(TestRoot &root, const QString &section, const QString &keys)
{
    QStringList values;
    for (const QString &key : keys.split(' '))
        values << root.settings().get(section, key);
    return values.join('|');
}

// The texts of a window's space-separated named controls, '|'-joined; a list gives its lines.
QString Texts(const QObject &window, const QString &names)
{
    QStringList out;
    for (const QString &name : names.split(' ')) {
        QObject *child = window.findChild<QObject *>(name);
        if (auto *list = qobject_cast<QListWidget *>(child))
            for (int i = 0; i < list->count(); ++i)
                out << list->item(i)->text();
        else
            out << child->property("text").toString();
    }
    return out.join('|');
}

// Clicks a named button and gives it back.
QPushButton *Click(const QObject &window, const char *name)
{
    auto *button = window.findChild<QPushButton *>(name);
    QTest::mouseClick(button, Qt::LeftButton);
    return button;
}

void Type(const QObject &window, const char *name, const QString &text)
{
    auto *box = window.findChild<QLineEdit *>(name);
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class TestReportWindows : public QObject
{
    Q_OBJECT

private slots:
    void report_data()
    {
        QTest::addColumn<bool>("firstKeyEmptied");
        QTest::addColumn<int>("printers");
        QTest::addColumn<bool>("printFails");
        QTest::addColumn<QStringList>("shown"); // the month's figures, then its new members
        QTest::addColumn<QStringList>("asked"); // by Copy, then Print
        const QString copy = "This Net Report is for the Month of March Is this correct?";
        const QString print = "This Net Report is for the month of March Is this correct?";
        QTest::newRow("nothing stored, no printer")
            << false << 0 << false << QStringList(3, "0") << QStringList { copy };
        QTest::newRow("with members, print fails")
            << false << 1 << true << QStringList { "11", "134", "9", "K4AAA AL", "W4BBB BO" }
            << QStringList { copy, print, "PRINTER ERROR - FIX PROBLEM AND TRY AGAIN!" };
        // Emptied by the editor's Delete: the stations after it still belong in the report.
        QTest::newRow("key 0 emptied, printed")
            << true << 1 << false << QStringList { "11", "134", "9", "W4BBB BO" }
            << QStringList { copy, print };
        // Members added before the month's first saved session: no totals yet.
        QTest::newRow("new members, no session saved yet")
            << false << 0 << false << QStringList { "0", "0", "0", "K4AAA AL", "W4BBB BO" }
            << QStringList { copy };
    }

    void report()
    {
        QFETCH(bool, firstKeyEmptied);
        QFETCH(int, printers);
        QFETCH(bool, printFails);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, asked);
        const bool stored = shown.size() > 3 && shown[0] != "0"; // the stored month
        TestRoot root({}, stored ? Month : std::initializer_list<SettingValue> {});
        if (shown.size() > 3 && !stored) {
            QVERIFY(root.settings().save("NewMember", "0", "K4AAA AL"));
            QVERIFY(root.settings().save("NewMember", "1", "W4BBB BO"));
        }
        if (firstKeyEmptied)
            QVERIFY(root.settings().save("NewMember", "0", ""));
        root.printer().printers = printers;
        root.printer().failNext = printFails;
        ReportPeriod period = InitialReportPeriod(root.clock().today());
        StartupContext context;
        FrmReport report(root.services(), context, period);
        QCOMPARE(Texts(report, "lblSC lblTchkin lblTC LstNewMem"), shown.join('|'));

        const QString subject = "TASKORA SECTION PHONE NET REPORT FOR March 2026";
        const QStringList expected = QStringList { subject, "", "SESSIONS CALLED: " + shown[0],
            "TOTAL CHECKINS: " + shown[1], "TRAFFIC COUNT: " + shown[2], "", "NEW CHECKINS", "" }
            + shown.mid(3) + QStringList { "", "THIS NET REPORT WAS SENT VIA THE VORQ Vx PROGRAM" };
        Click(report, "CmdCopy");
        QCOMPARE(QGuiApplication::clipboard()->text().split("\r\n"), expected);
        QCOMPARE(
            Keys(root, "Report", "Subject MsgText"), subject + '|' + expected.mid(2).join("\r\n"));

        // Print: with no printer the button is off and does nothing.
        QCOMPARE(Click(report, "cmdPrint")->isEnabled(), printers > 0);
        QStringList texts;
        for (const DialogRecord &message : root.dialogs().messages)
            texts << message.text;
        QCOMPARE(texts, asked);
        QCOMPARE(root.printer().documents.size(), printers > 0 && !printFails ? 1 : 0);
        if (!root.printer().documents.isEmpty()) {
            QStringList printed;
            for (const QList<PrintCell> &line : root.printer().documents[0])
                for (const PrintCell &cell : line)
                    printed << cell.text;
            QCOMPARE(printed,
                (QStringList { subject, "SESSIONS CALLED:11", "TOTAL CHECKINS:134",
                    "TRAFFIC COUNT:9", "NEW CHECKINS ADDED THIS MONTH", "W4BBB BO" }));
        }
        if (!stored)
            return;

        // Reset, asking nothing, empties the month in the window and the store.
        QVERIFY(!Click(report, "cmdReset")->isEnabled());
        QCOMPARE(root.dialogs().messages.size(), asked.size());
        QCOMPARE(Texts(report, "lblSC lblTchkin lblTC LstNewMem"), "0|0|0");
        QCOMPARE(Keys(root, "Report", "Sessions Checkins Traffic ResetReport"), "0|0|0|True");
        QCOMPARE(Keys(root, "NewMember", "0 2 15"), "||N4ZZZ ZED");
    }

    void pdfFailureIsTold()
    {
        TestRoot root({}, Month);
        root.printer().failNext = true;
        root.dialogs().saveFiles.enqueue(root.root() + "/report.pdf");
        root.dialogs().answers.enqueue(Yes); // the month is right
        ReportPeriod period = InitialReportPeriod(root.clock().today());
        StartupContext context;
        FrmReport report(root.services(), context, period);
        Click(report, "cmdPdf");
        // The reason, not a printer fault: there may be no printer at all.
        QCOMPARE(root.dialogs().messages.last().text, "PDF NOT SAVED: printer jammed");
    }

    void editor()
    {
        TestRoot root({}, Month);
        QVERIFY(root.settings().save("Report", "Checkins", "134abc"));
        StartupContext context;
        frmReportEditor editor(root.services(), context);
        QListWidget *list = editor.findChild<QListWidget *>();
        Type(editor, "txtAdd", "K4NEW NED");
        Click(editor, "cmdAdd");
        // A stored entry goes from the store at once; an edit is put back in its place, and
        // stored only by Save.
        list->setCurrentRow(0);
        Click(editor, "cmdDelete");
        list->setCurrentRow(0);
        Click(editor, "cmdEdit");
        Type(editor, "txtAdd", "W4BBB BOB");
        Click(editor, "cmdMove");
        QCOMPARE(Keys(root, "NewMember", "0 1 2"), "||W4BBB BO");
        // A total that is no whole number is refused, naming the box; nothing is stored.
        Type(editor, "txtSessions", "1O");
        QVERIFY(Click(editor, "CmdSave")->isEnabled());
        QVERIFY(root.dialogs().messages.last().text.startsWith("SESSIONS CALLED"));
        QCOMPARE(Keys(root, "Report", "Sessions") + '|' + Keys(root, "NewMember", "0 1 2"),
            "11|||W4BBB BO");
        Type(editor, "txtSessions", "12");
        QVERIFY(!Click(editor, "CmdSave")->isEnabled());
        QCOMPARE(Keys(root, "Report", "Sessions Checkins"), "12|134");
        QCOMPARE(Keys(root, "NewMember", "0 1 2 15"), "W4BBB BOB| K4NEW NED||");
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
