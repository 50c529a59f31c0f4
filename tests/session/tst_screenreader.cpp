// What a net control who cannot see the screen hears: the main window on the accessibility
// bus, heard by a listener that registers as a screen reader does (run by atspi-run.sh).

#include "mainwindowfixture.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTimer>

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyOutcomeIsHeard();
    void wholeNetByKeys();
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
    while (!m_listener.canReadLine())
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

namespace {

// With a screen reader listening, Qt hands each key to it first and delivers it only when
// it is let through: a key reaches the program a moment later, as on the operator's desktop.
void LetKeysThrough()
{
    QTest::qWait(40);
}

// A key as the operator presses it: to the open menu, else to the control with the focus.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *to = QApplication::activePopupWidget();
    if (!to)
        to = QApplication::focusWidget();
    QVERIFY2(to, "nothing has the keyboard");
    QTest::keyClick(to, Qt::Key(key), modifiers);
    LetKeysThrough();
}

void Type(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    LetKeysThrough();
}

// Tab until the control of that name has the focus, as a person does who listens.
void TabTo(const char *name)
{
    for (int i = 0; i < 40 && QApplication::focusWidget()->objectName() != QLatin1String(name); ++i)
        Press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
}

// Alt and the menu's letter, the arrows down to the entry, Enter.
void ChooseFromMenu(FrmMain &w, int letter, const QString &entry)
{
    Press(letter, Qt::AltModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    for (int i = 0; i < 20 && (!menu->activeAction() || menu->activeAction()->text() != entry); ++i)
        Press(Qt::Key_Down);
    QCOMPARE(menu->activeAction()->text(), entry);
    Press(Qt::Key_Return);
    Q_UNUSED(w);
}

} // namespace

void TestScreenReader::wholeNetByKeys()
{
    // 26 members of BLOUNT, one of BALDWIN unheard for two years, an alternate on the roster.
    QList<StationRecord> blount;
    for (int i = 0; i < 26; ++i)
        blount << Station("K4A" + QByteArray(1, char('A' + i)), "OP", "BLOUNT", "", "ONEONTA");
    MainWindowFixture f(
        { { "BLOUNT", blount },
            { "BALDWIN", { Station("KA4DB", "DEB", "BALDWIN", "", "", "3/1/2024") } } },
        { { "First", "Firstime", "FALSE" }, { "Settings", "User Name", "BOB" },
            { "NetCtl", "Tuesday", "BOB" }, { "NetCtlCall", "Tuesday", "K4BOB" },
            { "AltNC", "1", "AL K4AAL" } },
        QDateTime(QDate(2026, 3, 10), QTime(19, 0, 0)));
    f.root.screen().pixels = QSize(1024, 768);
    FrmMain &w = f.openActive();
    auto hears = [this](const QString &text) {
        QTRY_VERIFY2_WITH_TIMEOUT(heard().contains(text),
            qPrintable(text + " not among: " + heard().mid(heard().size() - 3).join(" | ")), 10000);
    };
    // 24 typed check-ins, a near-miss taken with Ctrl+Enter, a suffix search.
    for (int i = 0; i < 24; ++i) {
        Type(blount[i].Call.trimmed());
        Press(Qt::Key_Return);
        hears(
            blount[i].Call.trimmed() + " CHECKED IN, BLOUNT - CHECK INS " + QString::number(i + 1));
    }
    Type("K4AYY");
    Press(Qt::Key_Return);
    hears("K4AYY NOT FOUND - DID YOU MEAN K4AY (OP, BLOUNT)?");
    Press(Qt::Key_Return, Qt::ControlModifier);
    hears("K4AY CHECKED IN, BLOUNT - CHECK INS 25");
    Type("?AZ");
    Press(Qt::Key_Return);
    Press(Qt::Key_Return);
    hears("K4AZ CHECKED IN, BLOUNT - CHECK INS 26");
    Press(Qt::Key_T, Qt::ControlModifier);
    hears("TRAFFIC 1");
    // The alternate put in charge from the roster, by its keys alone.
    f.root.dialogs().modalScripts << [](QDialog *roster) {
        roster->show();
        for (int i = 0; i < 100 && QApplication::focusWidget()->window() != roster; ++i)
            QTest::qWait(20);
        if (QApplication::focusWidget()->window() != roster)
            return int(QDialog::Rejected);
        TabTo("lstAltNC");
        Press(Qt::Key_Space);
        TabTo("cmdOK");
        Press(Qt::Key_Space);
        for (int i = 0; i < 100 && roster->isVisible(); ++i)
            QTest::qWait(20);
        return roster->result();
    };
    ChooseFromMenu(w, Qt::Key_E, "Change Net Ctl/Mgr");
    hears("Change NET CONTROL/MANAGER"); // the window, read as it opened
    hears("ALT NET CONTROL AL K4AAL");
    // The test's stand-in for the modal loop does not hand the desktop back: done here.
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
    QCOMPARE(w.focusWidget(), named<QLineEdit>(w, "txtChkin"));
    // A call found nowhere, added from NON LISTED.
    Type("W4NEW");
    Press(Qt::Key_Return);
    hears("W4NEW NOT FOUND");
    TabTo("lstEarly");
    Press(Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("txtName"));
    for (const char *value : { "NED", "BLOUNT", "", "ONEONTA" }) {
        Type(value);
        Press(Qt::Key_Return);
    }
    Press(Qt::Key_Return); // Save
    hears("W4NEW ADDED");
    QCOMPARE(f.checkins(), QString("27"));
    // A member's new call, from the keys: BLOUNT, the first line, Edit > Change CallSign.
    TabTo("lstCounties");
    Type("BLOUNT");
    Press(Qt::Key_Return);
    hears("BLOUNT COUNTY MEMBERS, 27");
    Press(Qt::Key_Tab);
    Press(Qt::Key_Home);
    ChooseFromMenu(w, Qt::Key_E, "Change CallSign");
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("TxtNew"));
    Type("W4AA");
    Press(Qt::Key_Return);
    Press(Qt::Key_Return); // Save
    hears("K4AA CHANGED TO W4AA");
    // BALDWIN called up from the keys retires its member; the Menu key and Enter restore him.
    TabTo("lstCounties");
    Type("BALDWIN");
    Press(Qt::Key_Return);
    hears("BALDWIN COUNTY MEMBERS, 0");
    TabTo("lstDS");
    f.root.dialogs().menus = [](QMenu *menu, const QPoint &at) { menu->exec(at); };
    // The Menu key's menu comes from the desktop's key, not from a key event inside Qt; the
    // menu runs a loop of its own, so Enter is sent from outside as well.
    QCOMPARE(
        QProcess::execute(QStringLiteral("xdotool"), { "key", "--delay", "300", "Menu", "Return" }),
        0);
    hears("KA4DB RESTORED");
    // Exit from the keys: the session goes into the month.
    f.root.dialogs().answers << Yes << No;
    Press(Qt::Key_X, Qt::AltModifier);
    QTRY_VERIFY(!w.isVisible());
    QCOMPARE(f.setting("Report", "Checkins"), QString("27"));
}

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
