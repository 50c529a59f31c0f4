#include "doubles.h"
#include "platform/clock.h"
#include "platform/keyfilter.h"
#include "platform/paths.h"
#include "platform/qtservices.h"
#include "startup/supportfiles.h"
#include "stationdb/settingsstore.h"

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

    void clockFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QDateTime>("start"); // invalid: the system time
        QTest::newRow("chosen moment")
            << QByteArray("1999-12-31T23:59:50") << QDateTime({ 1999, 12, 31 }, { 23, 59, 50 });
        QTest::newRow("unset") << QByteArray() << QDateTime();
        QTest::newRow("blank for T") << QByteArray("1999-12-31 19:00:00") << QDateTime();
        QTest::newRow("date only") << QByteArray("1999-12-31") << QDateTime();
    }

    void clockFromEnvironment()
    {
        QFETCH(QByteArray, value);
        QFETCH(QDateTime, start);
        if (!value.isNull())
            qputenv("VORQ_NOW", value);
        const QDateTime expected = start.isValid() ? start : QDateTime::currentDateTime();
        const auto clock = SystemClock::fromEnvironment();
        const QDateTime first = clock->now();
        QVERIFY2(expected.msecsTo(first) >= 0 && expected.msecsTo(first) < 5000,
            qPrintable(first.toString(Qt::ISODateWithMs)));
        // A clock frozen at the chosen moment would stop the ID reminder and the session times.
        QThread::msleep(30);
        QVERIFY(first.msecsTo(clock->now()) >= 30);
    }

    void pathsAndServicesUnderRoot()
    {
        const QString r = QDir::tempPath() + "/my vorq/";
        const Paths p = Paths::underRoot(QDir::tempPath() + "/my vorq");
        QCOMPARE(QStringList({ p.root(), p.dataFolder(), p.programFolder(), p.tempFolder(),
                     p.backupFolder(), p.appDataFolder(), p.driveRoot(), p.settingsFile("VORQ"),
                     p.settingsFile("Pelnet") }),
            QStringList({ r, r + "DatFiles/", r + "Version 1/", r + "Temp/", r + "FileBackup/",
                r + "AppData/", r, r + "Settings/VORQ.ini", r + "Settings/Pelnet.ini" }));

        // A practice root, here a relative one, must never write into the real settings.
        QTemporaryDir dir;
        qputenv("VORQ_ROOT", QDir::current().relativeFilePath(dir.path()).toLocal8Bit());
        qputenv("VORQ_NOW", "2012-03-07T19:30:00");
        const Services s = MakeProductionServices();
        QVERIFY(s.paths.root() == dir.path() + "/" && s.paths.isPortable());
        QCOMPARE(s.clock->today(), QDate(2012, 3, 7));
        QVERIFY(
            s.settings && s.dialogs && s.sounds && s.shell && s.keyboard && s.screen && s.printer);
        QVERIFY(s.settings->save("Settings", "User Name", "BOB"));
        QVERIFY(readAll(dir.path() + "/Settings/VORQ.ini").contains("BOB"));
        qunsetenv("VORQ_ROOT");
        QVERIFY(!Paths::fromEnvironment().isPortable());
    }

    void lockKeysPressedOnlyWhenDifferent_data()
    {
        QTest::addColumn<bool>("initial");
        QTest::addColumn<bool>("wanted");
        for (const QByteArray row : { "off to off", "off to on", "on to off", "on to on" })
            QTest::newRow(row.constData()) << row.startsWith("on") << row.endsWith("on");
    }

    void lockKeysPressedOnlyWhenDifferent()
    {
        QFETCH(bool, initial);
        QFETCH(bool, wanted);
        const int presses = initial == wanted ? 0 : 1;
        RecordingKeyboard keyboard;
        keyboard.settable = true;
        keyboard.caps = keyboard.num = initial;
        SetCapsLock(keyboard, wanted); // the other key is left alone
        QCOMPARE(QList({ keyboard.capsPresses, keyboard.numPresses }), QList({ presses, 0 }));
        SetNumLock(keyboard, wanted);
        QCOMPARE(QList({ keyboard.capsPresses, keyboard.numPresses }), QList({ presses, presses }));
    }

    void keyFilterOnLineEdit_data()
    {
        QTest::addColumn<FieldKind>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("call, in capitals as typed") << FieldKind::Call << "k4-a/b 1!@#$%^&*()_+=.," << "K4AB 1";
        QTest::newRow("text") << FieldKind::Text << "k4-a/b 1 st. clair, al" << "kab  st clair al";
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
        for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Return })
            QTest::keyClick(&box, key); // the editing keys still work
        QCOMPARE(box.text(), expected);
        QCOMPARE(entered.count(), 1);
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
        QString error;
        QVERIFY2(InstallProgramFiles(program, &error), qPrintable(error));
        QVERIFY(readAll(program + "ding.wav").startsWith("RIFF"));
        const QByteArray own = "the operator's own edited file";
        QVERIFY(QDir().mkpath(userData));
        for (const QString &path : { userData + "VorqPreamble.txt", program + "ding.wav" }) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(own) == own.size());
        }
        QVERIFY2(InstallSupportFiles(userData, &error) && InstallProgramFiles(program, &error),
            qPrintable(error));
        QCOMPARE(readAll(userData + "VorqPreamble.txt") + '|' + readAll(program + "ding.wav"),
            own + '|' + own);
        // The files that were missing are installed all the same.
        const QStringList names = SupportFileNames();
        QVERIFY(names.contains("VorqPreamble.txt") && names.contains("VorqInst.txt"));
        for (const QString &name : names) {
            const QByteArray bytes = readAll(userData + name);
            QVERIFY2(!bytes.isEmpty() && (!name.endsWith(".wav") || bytes.startsWith("RIFF"))
                    && (!name.endsWith(".gif") || bytes.startsWith("GIF8")),
                qPrintable(name));
        }
        QString noFolder; // a file where the folder belongs, and no folder at all
        QVERIFY(!InstallSupportFiles(program + "ding.wav/Halvorsoft/", &error) && !error.isEmpty());
        QVERIFY(!InstallProgramFiles(QString(), &noFolder) && !noFolder.isEmpty());
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
