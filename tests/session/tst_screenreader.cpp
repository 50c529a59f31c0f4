// What a net control who cannot see the screen hears: the main window on the accessibility
// bus, heard by a listener that registers as a screen reader does (run by atspi-run.sh).

#include "mainwindowfixture.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyOutcomeIsHeard();
    void cleanupTestCase();

private:
    // The names of the notifications heard so far.
    QStringList heard();

    QProcess m_listener;
    QStringList m_heard;
};

void TestScreenReader::initTestCase()
{
    const QString script = qEnvironmentVariable("VORQ_ATSPI_LISTENER");
    if (QGuiApplication::platformName() != QLatin1String("xcb") || script.isEmpty())
        QSKIP("needs the accessibility bus (tests/support/atspi-run.sh)");
    m_listener.start(QStringLiteral("/usr/bin/python3"), { script });
    QVERIFY2(m_listener.waitForStarted(), qPrintable(m_listener.errorString()));
    QVERIFY2(m_listener.waitForReadyRead(20000), m_listener.readAllStandardError().constData());
    QCOMPARE(m_listener.readLine(), QByteArray("listening\n"));
}

void TestScreenReader::cleanupTestCase()
{
    m_listener.kill();
    m_listener.waitForFinished();
}

QStringList TestScreenReader::heard()
{
    while (m_listener.canReadLine()) {
        const QList<QByteArray> fields = m_listener.readLine().trimmed().split('\t');
        if (fields.size() == 3 && !m_heard.contains(QString::fromUtf8(fields[2])))
            m_heard << QString::fromUtf8(fields[2]);
    }
    return m_heard;
}

void TestScreenReader::everyOutcomeIsHeard()
{
    // A Tuesday a minute before an identification time; BOB, the user, runs tonight's net.
    MainWindowFixture f({ { "BLOUNT",
                            { Station("KC4AYI", "BOB", "BLOUNT", "", "HAYDEN"),
                                Station("KB4OEB", "IRMA", "BLOUNT", "", "ONEONTA") } } },
        { { "First", "Firstime", "FALSE" }, { "Settings", "User Name", "BOB" },
            { "NetCtl", "Tuesday", "BOB" }, { "NetCtlCall", "Tuesday", "K4BOB" } },
        QDateTime(QDate(2026, 3, 10), QTime(18, 38, 0)));
    f.root.screen().pixels = QSize(1024, 768);
    FrmMain &w = f.openActive();
    auto *callsign = named<QLineEdit>(w, "txtChkin");
    auto hears = [this](const QString &text) {
        QTRY_VERIFY2_WITH_TIMEOUT(heard().contains(text), qPrintable(heard().join(" | ")), 10000);
    };
    f.type("KC4AYI");
    hears("KC4AYI CHECKED IN, BLOUNT - CHECK INS 1");
    f.type("KB4OE");
    hears("KB4OE NOT FOUND - DID YOU MEAN KB4OEB (IRMA, BLOUNT)?");
    QTest::keyClick(callsign, Qt::Key_T, Qt::ControlModifier);
    hears("TRAFFIC 1");
    f.root.clock().set(QDateTime(QDate(2026, 3, 10), QTime(18, 39, 0)));
    QMetaObject::invokeMethod(named<QTimer>(w, "IDTimer"), "timeout");
    hears("ID TIME");
    f.choose("BLOUNT");
    hears("BLOUNT COUNTY MEMBERS, 2");
    // Heard while the caret stayed where the next call is typed.
    QVERIFY(callsign->hasFocus());
}

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
