#include "platform/commandline.h"
#include "platform/ui/qtservices.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("VORQ_NOW"), qunsetenv("VORQ_ROOT"); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("text"); // a part of the text shown
        const QDateTime none;
        QTest::newRow("root and now")
            << QStringList { "--root", "/srv/practice", "--now=2026-03-10T19:00:00" } << Action::Run
            << "/srv/practice" << QDateTime({ 2026, 3, 10 }, { 19, 0 }) << "";
        QTest::newRow("help names both options")
            << QStringList { "--help" } << Action::ShowHelp << "" << none << "--root <DIR>";
        QTest::newRow("unknown option") << QStringList { "--rooot", "x" } << Action::Fail << ""
                                        << none << "Unknown option 'rooot'";
        QTest::newRow("option without its value") << QStringList { "--root" } << Action::Fail << ""
                                                  << none << "Missing value after '--root'";
        QTest::newRow("date without time") << QStringList { "--now", "2026-03-10" } << Action::Fail
                                           << "" << none << "'2026-03-10' is not a moment";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, root);
        QFETCH(QDateTime, now);
        QFETCH(QString, text);
        const CommandLine line
            = ParseCommandLine(QStringList { "/usr/bin/vorq" } + arguments, "9.8");
        QCOMPARE(line.action, action);
        QCOMPARE(std::pair(line.root, line.now), std::pair(root, now));
        QVERIFY2(line.text.contains(text), qPrintable(line.text));
        if (action == Action::Fail)
            QVERIFY(line.text.startsWith("vorq: ") && line.text.contains("vorq --help"));
    }

    // The options reach the same paths and clock as the environment, and win over it.
    void optionsFeedServices()
    {
        QTemporaryDir fromEnvironment, fromOption;
        qputenv("VORQ_ROOT", fromEnvironment.path().toLocal8Bit());
        qputenv("VORQ_NOW", "2012-03-07T19:30:00");
        const Services given
            = MakeProductionServices(fromOption.path(), QDateTime({ 2026, 3, 10 }, { 19, 0 }));
        QCOMPARE(std::pair(given.paths.root(), given.clock->today()),
            std::pair(fromOption.path() + "/", QDate(2026, 3, 10)));
        QVERIFY(qAbs(given.clock->now().secsTo(QDateTime({ 2026, 3, 10 }, { 19, 0 }))) < 5);
    }

    // The program itself: no display, and nothing of the root touched before it runs.
    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("version") << QStringList { "--version" } << 0 << "vorq " VORQ_VERSION "\n"
                                 << "";
        QTest::newRow("help") << QStringList { "--help" } << 0 << "Usage: vorq [options]"
                              << "";
        QTest::newRow("unknown option") << QStringList { "--bogus" } << 2 << ""
                                        << "Unknown option 'bogus'";
        QTest::newRow("bad date") << QStringList { "--now", "10/3/2026" } << 2 << ""
                                  << "'10/3/2026' is not a moment";
    }

    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString root = dir.filePath("root");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A platform that cannot start here: the program must not need one.
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("VORQ_ROOT", root);
        process.setProcessEnvironment(env);
        process.start(VORQ_PROGRAM, arguments + QStringList { "--root", root });
        QVERIFY(process.waitForFinished(30000));
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.contains(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
        QVERIFY2(!QFileInfo::exists(root), "the root was created, or locked");
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
