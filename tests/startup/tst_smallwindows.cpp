#include "startup/startupcontext.h"
#include "startup/ui/frminstr.h"
#include "startup/ui/frmusername.h"
#include "testroot.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

class TestSmallWindows : public QObject
{
    Q_OBJECT

private slots:
    void userNameNeedsAName();
    void instructionsShownExactly_data();
    void instructionsShownExactly();
};

struct Fixture
{
    Fixture() { FillStartupContext(context, root.services()); }
    TestRoot root;
    StartupContext context;
};

void TestSmallWindows::userNameNeedsAName()
{
    Fixture f;
    FrmUserName prompt(f.root.services(), f.context);
    prompt.show();
    named<QPushButton>(prompt, "CmdExit")->click();
    prompt.reject(); // Escape or the close box
    QVERIFY(prompt.isVisible());
    named<QLineEdit>(prompt, "txtUser")->setText("abc");
    named<QPushButton>(prompt, "CmdExit")->click();
    QVERIFY(!prompt.isVisible() && prompt.result() == QDialog::Accepted);
    QCOMPARE(prompt.userName(), "abc");
}

void TestSmallWindows::instructionsShownExactly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF lines and blanks")
        << QByteArray("NET RULES\r\n\r\n  1. Call in.\r\n\tEnd  \r\n")
        << "NET RULES\n\n  1. Call in.\n\tEnd  \n";
    QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9 net") << "Caf\u00e9 net";
    QTest::newRow("code page byte") << QByteArray("Caf\xe9 net") << "Caf\u00e9 net";
    QTest::newRow("no file: opens empty") << QByteArray() << "";
}

void TestSmallWindows::instructionsShownExactly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    Fixture f;
    QFile file(f.context.UserDataFolder + "VorqInst.txt");
    if (!bytes.isNull())
        QVERIFY(
            file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
    QCOMPARE(
        named<QTextEdit>(FrmInstr(f.root.services(), f.context), "txtInstr")->toPlainText(), shown);
}

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"
