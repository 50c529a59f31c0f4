#include "startup/frmabout.h"
#include "startup/frminstr.h"
#include "startup/frmusername.h"
#include "startup/frmxmas.h"
#include "startup/startupcontext.h"
#include "startup/supportfiles.h"
#include "testroot.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

class TestSmallWindows : public QObject
{
    Q_OBJECT

private slots:
    void userNameNeedsAName();
    void instructionsShownExactly_data();
    void instructionsShownExactly();
    void christmasAnimation();
    void aboutCentred();
};

static StartupContext contextOf(TestRoot &root)
{
    StartupContext context;
    FillStartupContext(context, root.services());
    return context;
}

void TestSmallWindows::userNameNeedsAName()
{
    TestRoot root;
    StartupContext context = contextOf(root);
    FrmUserName prompt(root.services(), context);
    QCOMPARE(prompt.lblUser->text(), "PLEASE ENTER YOUR FIRST NAME INTO THE BOX BELOW");
    prompt.show();
    prompt.CmdExit_Click();
    QVERIFY(prompt.isVisible());
    prompt.reject(); // Escape or the close box
    QVERIFY(prompt.isVisible());
    prompt.txtUser->setText("abc");
    prompt.CmdExit_Click();
    QVERIFY(!prompt.isVisible());
    QCOMPARE(prompt.result(), int(QDialog::Accepted));
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
    QTest::newRow("empty file") << QByteArray() << "";
}

void TestSmallWindows::instructionsShownExactly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    TestRoot root;
    StartupContext context = contextOf(root);
    QFile file(context.UserDataFolder + "VorqInst.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    context.ShowPreamble = true;
    FrmInstr window(root.services(), context);
    QCOMPARE(window.txtInstr->toPlainText(), shown);
    QCOMPARE(window.windowTitle(), "TLN - Instructions");
    window.cmdExit_Click();
    QVERIFY(!context.ShowPreamble);

    // Without the file the window still opens, empty.
    QVERIFY(QFile::remove(file.fileName()));
    FrmInstr empty(root.services(), context);
    QVERIFY(empty.txtInstr->toPlainText().isEmpty());
}

void TestSmallWindows::christmasAnimation()
{
    TestRoot root;
    StartupContext context = contextOf(root);
    QVERIFY(InstallSupportFiles(context.UserDataFolder));
    FrmXmas window(root.services(), context);
    QVERIFY(window.windowTitle().startsWith("MERRY CHRISTMAS"));
    QCOMPARE(window.TimeXmas->interval(), 200);
    QVERIFY(window.Timer1->isActive());
    QCOMPARE(window.Timer1->interval(), 15500);

    QStringList pictures;
    for (int tick = 0; tick < 4; ++tick) {
        window.TimeXmas_Timer();
        pictures << window.pictureFile().mid(context.UserDataFolder.size());
        QVERIFY(!window.Image1->pixmap().isNull());
    }
    QCOMPARE(pictures, (QStringList { "Xmas-0.gif", "Xmas-1.gif", "Xmas-2.gif", "Xmas-0.gif" }));

    window.show();
    window.Timer1_Timer(); // nobody pressed EXIT
    QVERIFY(!window.isVisible());
    QVERIFY(!window.TimeXmas->isActive());
}

void TestSmallWindows::aboutCentred()
{
    TestRoot root;
    root.screen().pixels = QSize(1024, 768);
    StartupContext context = contextOf(root);
    FrmAbout about(root.services(), context);
    QCOMPARE(about.windowTitle(), "VORQ - ABOUT");
    QVERIFY(about.Text1->toPlainText().startsWith("   VERSION 1       \nMarch 2016\n"));
    QCOMPARE(about.pos(), QPoint((1024 - about.width()) / 2, (768 - about.height()) / 2));
}

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"
