#include "mainwindowfixture.h"
#include "session/netinfoframe.h"

#include <QAction>
#include <QFile>
#include <QPushButton>

namespace {
QList<StationRecord> stations(int count)
{
    QList<StationRecord> out;
    for (int i = 0; i < count; ++i)
        out << Station(QStringLiteral("K4") + QChar(u'A' + i / 26) + QChar(u'A' + i % 26), "OP");
    return out;
}
} // namespace

class TestFrmMainExit : public QObject
{
    Q_OBJECT

private slots:
    void exitAddsTheSession_data();
    void exitAddsTheSession();
    void cancelKeepsTheSession();
    void noLeavesTheTotalsAlone();
    void exitButtonTurnsGreen();
    void errorHandlerOnLoad_data();
    void errorHandlerOnLoad();
};

void TestFrmMainExit::exitAddsTheSession_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("exit button") << "button";
    QTest::newRow("file exit") << "menu";
    QTest::newRow("title bar") << "close";
}

void TestFrmMainExit::exitAddsTheSession()
{
    QFETCH(QString, how);
    MainWindowFixture f({ { "LEE", stations(14) } },
                        { { "Report", "Sessions", "10" }, { "Report", "Checkins", "120" },
                          { "Report", "Traffic", "7" } });
    FrmMain &w = f.open();
    w.show();
    for (const StationRecord &s : stations(14))
        f.type(s.Call);
    QTest::mouseClick(w.lblTraffic(), Qt::LeftButton);
    QTest::mouseClick(w.lblTraffic(), Qt::LeftButton);
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("14"));
    f.root.dialogs().answers.enqueue(Yes);
    if (how == "button")
        w.cmdExit->click();
    else if (how == "menu")
        w.mnuFileExit->trigger();
    else
        w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].title, QStringLiteral("SAVE SESSION"));
    QCOMPARE(f.root.dialogs().messages[0].text,
             QStringLiteral("Do you want to save this Session's data to the monthly report?"));
    QCOMPARE(f.root.dialogs().messages[0].defaultButton, Cancel);
    QCOMPARE(f.root.settings().get("Report", "Sessions"), QStringLiteral("11"));
    QCOMPARE(f.root.settings().get("Report", "Checkins"), QStringLiteral("134"));
    QCOMPARE(f.root.settings().get("Report", "Traffic"), QStringLiteral("9"));
}

void TestFrmMainExit::cancelKeepsTheSession()
{
    MainWindowFixture f({ { "LEE", stations(2) } }, { { "Report", "Sessions", "3" } });
    FrmMain &w = f.open();
    w.show();
    f.type("K4AA");
    f.root.dialogs().answers.enqueue(Cancel);
    w.close();
    QVERIFY(w.isVisible());
    QCOMPARE(f.root.settings().get("Report", "Sessions"), QStringLiteral("3"));
    // The session goes on; a later exit still adds it.
    f.type("K4AB");
    f.root.dialogs().answers.enqueue(Yes);
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.root.settings().get("Report", "Sessions"), QStringLiteral("4"));
    QCOMPARE(f.root.settings().get("Report", "Checkins"), QStringLiteral("2"));
}

void TestFrmMainExit::noLeavesTheTotalsAlone()
{
    MainWindowFixture f({ { "LEE", stations(2) } }, { { "Report", "Sessions", "3" } });
    FrmMain &w = f.open();
    w.show();
    f.type("K4AA");
    QFile store(f.root.settings().fileOf("VORQ"));
    QVERIFY(store.open(QIODevice::ReadOnly));
    const QByteArray before = store.readAll();
    store.close();
    f.root.dialogs().answers.enqueue(No);
    w.close();
    QVERIFY(!w.isVisible());
    QVERIFY(store.open(QIODevice::ReadOnly));
    QCOMPARE(store.readAll(), before);
}

void TestFrmMainExit::exitButtonTurnsGreen()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    QTest::mousePress(w.cmdExit, Qt::LeftButton);
    QVERIFY(w.cmdExit->styleSheet().contains("rgb(0, 255, 0)"));
    f.root.dialogs().answers.enqueue(Cancel);
    QTest::mouseRelease(w.cmdExit, Qt::LeftButton);
}

void TestFrmMainExit::errorHandlerOnLoad_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("sessions");
    QTest::newRow("yes saves") << int(Yes) << "6";
    QTest::newRow("no ends") << int(No) << "5";
    QTest::newRow("cancel stays") << int(Cancel) << "5";
}

void TestFrmMainExit::errorHandlerOnLoad()
{
    QFETCH(int, answer);
    QFETCH(QString, sessions);
    MainWindowFixture f({}, { { "Report", "Sessions", "5" } });
    f.context.DatabaseUpdateFlag = true; // an update said it installed, but left no flag file
    f.root.dialogs().answers.enqueue(Ok);
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    FrmMain &w = f.open();
    w.show();
    QCOMPARE(f.root.dialogs().messages.size(), 2);
    QCOMPARE(f.root.dialogs().messages[0].icon, MsgIcon::Critical);
    QVERIFY(f.root.dialogs().messages[0].text.contains("DbFlag.txt"));
    QCOMPARE(f.root.dialogs().messages[1].text,
             QStringLiteral("Do you want to save this Session's data to the monthly report?"));
    QCoreApplication::processEvents();
    QCOMPARE(w.isVisible(), answer == Cancel);
    QCOMPARE(f.root.settings().get("Report", "Sessions"), sessions);
    // No second question once the program ends.
    QCOMPARE(f.root.dialogs().messages.size(), 2);
}

QTEST_MAIN(TestFrmMainExit)
#include "tst_frmmain_exit.moc"
