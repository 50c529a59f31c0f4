#include "doubles.h"
#include "platform/clock.h"
#include "platform/ui/keyfilter.h"
#include "platform/ui/qtservices.h"
#include "startup/supportfiles.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("VORQ_NOW"), qunsetenv("VORQ_ROOT"); }

    void clockRunsFromTheChosenMoment()
    {
        qputenv("VORQ_NOW", "1999-12-31T23:59:50");
        const auto clock = SystemClock::fromEnvironment();
        const QDateTime first = clock->now();
        QVERIFY(QDateTime({ 1999, 12, 31 }, { 23, 59, 50 }).msecsTo(first) < 5000);
        // A clock frozen at the chosen moment would stop the ID reminder and the session times.
        QThread::msleep(30);
        QVERIFY(first.msecsTo(clock->now()) >= 30);
        // A text that is no full date and time is not taken.
        qputenv("VORQ_NOW", "1999-12-31");
        QVERIFY(SystemClock::fromEnvironment()->today() != QDate(1999, 12, 31));
    }

    void pathsAndServicesUnderRoot()
    {
        // A practice root, here a relative one, must never write into the real settings.
        QTemporaryDir dir;
        qputenv("VORQ_ROOT", QDir::current().relativeFilePath(dir.path()).toLocal8Bit());
        qputenv("VORQ_NOW", "2012-03-07T19:30:00");
        const Services s = MakeProductionServices();
        QCOMPARE(s.paths.root(), dir.path() + "/");
        QCOMPARE(s.clock->today(), QDate(2012, 3, 7));
        QVERIFY(s.settings->save("Settings", "User Name", "BOB"));
        QVERIFY(readAll(dir.path() + "/Settings/VORQ.ini").contains("BOB"));
        qunsetenv("VORQ_ROOT");
        QVERIFY(!Paths::fromEnvironment().isPortable());
    }

    void keyFilterOnLineEdit_data()
    {
        QTest::addColumn<FieldKind>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("call, in capitals as typed") << FieldKind::Call << "k4-a/b 1!@#$%^&*()_+=.,"
                                                    << "K4AB 1";
        QTest::newRow("text") << FieldKind::Text << "k4-a/b 1 st. clair, al"
                              << "kab  st clair al";
    }

    void keyFilterOnLineEdit()
    {
        QFETCH(FieldKind, kind);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QLineEdit box;
        InstallKeyFilter(&box, kind);
        QSignalSpy entered(&box, &QLineEdit::returnPressed);
        QTest::keyClicks(&box, typed + "xy");
        QCOMPARE(box.text(), expected + (kind == FieldKind::Call ? "XY" : "xy"));
        QTest::keyClick(&box, Qt::Key_Backspace); // the editing keys still work
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.text(), expected);
        QCOMPARE(entered.count(), 1);
        // Pasted text passes the same filter as typing.
        QGuiApplication::clipboard()->setText(typed + "\t\u00a0\u0141");
        box.clear();
        box.paste();
        QCOMPARE(box.text(), expected);
    }

    void printerWritesPdf()
    {
        QTemporaryDir dir;
        QtPrinter printer(dir.filePath("report.pdf"));
        // More lines than a page holds: the printer must start new pages, not stop.
        for (int i = 0; i < 400; ++i)
            printer.printLine({ PrintCell { 0, "K4ABC" }, PrintCell { 20, "JIM" } });
        QVERIFY2(printer.endDocument(), qPrintable(printer.errorString()));
        const QByteArray bytes = readAll(dir.filePath("report.pdf"));
        QVERIFY(bytes.startsWith("%PDF")
            && bytes.count("/Type /Page") - bytes.count("/Type /Pages") > 1);

        QtPrinter nowhere(dir.filePath("no such folder/report.pdf"));
        nowhere.printText("K4ABC");
        QVERIFY(!nowhere.endDocument() && !nowhere.errorString().isEmpty());
    }

    void installNeverOverwrites()
    {
        QTemporaryDir dir;
        const QString userData = dir.filePath("AppData/Halvorsoft/");
        const QString program = dir.filePath("Version 1/");
        const Status installed = InstallProgramFiles(program);
        QVERIFY2(installed, qPrintable(installed.error()));
        QVERIFY(readAll(program + "ding.wav").startsWith("RIFF"));
        const QByteArray own = "the operator's own edited file";
        QVERIFY(QDir().mkpath(userData));
        for (const QString &path : { userData + "VorqPreamble.txt", program + "ding.wav" }) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(own) == own.size());
        }
        for (const Status &again : { InstallSupportFiles(userData), InstallProgramFiles(program) })
            QVERIFY2(again, qPrintable(again.error()));
        QCOMPARE(readAll(userData + "VorqPreamble.txt") + '|' + readAll(program + "ding.wav"),
            own + '|' + own);
        // The files that were missing are installed all the same.
        for (const QString &name : SupportFileNames())
            QVERIFY2(!readAll(userData + name).isEmpty(), qPrintable(name));
        // A file where the folder belongs, and no folder at all.
        QVERIFY(!InstallSupportFiles(program + "ding.wav/Halvorsoft/").error().isEmpty());
        QVERIFY(!InstallProgramFiles(QString()).error().isEmpty());
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
