#include "loopbackhttp.h"
#include "maintenance/ui/memberinfoframe.h"
#include "mainwindowfixture.h"
#include "qrz/ui/frmqrz.h"
#include "qrz/ui/nonlistedframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The login window through its controls, and the right-click on a non-listed call in the
// main window against a server on this machine.
class TestFrmQrz : public QObject
{
    Q_OBJECT

private slots:
    void loginWindow();
    void offerAndChange_data();
    void offerAndChange();
    void rightClick_data();
    void rightClick();
    void netGoesOnWhateverQrzAnswers_data();
    void netGoesOnWhateverQrzAnswers();
};

void TestFrmQrz::loginWindow()
{
    TestRoot root({}, { { "Settings", "QRZ Key", "s=old;" } });
    StartupContext context;
    FrmQrz w(root.services(), context);
    QVERIFY(!named<QPushButton>(w, "cmdOK")->isEnabled()
        && named<QLineEdit>(w, "txtQrzPassWrd")->echoMode() == QLineEdit::Password);
    // Tab passing the empty password box on its way to DO NOT ASK AGAIN leaves it usable.
    LeaveBox(named<QWidget>(w, "txtQrzPassWrd"));
    QVERIFY(!named<QPushButton>(w, "cmdOK")->isEnabled()
        && named<QCheckBox>(w, "chkNoShow")->isEnabled());
    // OK comes once the password box is left with text in it; "never ask" goes then.
    named<QLineEdit>(w, "txtQrzPassWrd")->setText("pw");
    LeaveBox(named<QWidget>(w, "txtQrzPassWrd"));
    QVERIFY(named<QPushButton>(w, "cmdOK")->isEnabled()
        && !named<QCheckBox>(w, "chkNoShow")->isEnabled());
    // Remove, with empty boxes: the login goes, the window stays.
    named<QLineEdit>(w, "txtQrzPassWrd")->clear();
    named<QCheckBox>(w, "ChkRemoveLogin")->setChecked(true);
    named<QPushButton>(w, "cmdOK")->click();
    QVERIFY(root.settings().get("Settings", "QRZ Key").isEmpty() && w.result() == 0);
    // With the id and the password the window closes.
    named<QLineEdit>(w, "txtUserID")->setText("alice");
    named<QLineEdit>(w, "txtQrzPassWrd")->setText("p;a&s=s# +w");
    named<QPushButton>(w, "cmdOK")->click();
    QCOMPARE(root.settings().get("Settings", "QRZ ID") + root.settings().get("Settings", "QRZ PW"),
        u"username=alice;password=p;a&s=s# +w"_s);
}

void TestFrmQrz::offerAndChange_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("offered");
    QTest::newRow("nothing stored") << "" << true;
    QTest::newRow("a login stored") << "password=x" << false;
}

void TestFrmQrz::offerAndChange()
{
    QFETCH(QString, password);
    QFETCH(bool, offered);
    TestRoot root({}, { { "Settings", "QRZ PW", password.isEmpty() ? "" : password } });
    StartupContext context;
    // The offer ticks "never ask" and cancels: it is not offered at the next start.
    if (offered) {
        root.dialogs().modalScripts << [](QDialog *d) {
            auto *w = qobject_cast<FrmQrz *>(d);
            named<QCheckBox>(*w, "chkNoShow")->click();
            named<QPushButton>(*w, "cmdCancel")->click();
            return d->result();
        };
    }
    OfferQrzLogin(root.services(), context, nullptr);
    QCOMPARE(root.dialogs().modalWindows, offered ? QStringList { "frmQRZ" } : QStringList());
    if (offered)
        QCOMPARE(root.settings().GetSetting("Pelnet", "Settings", "chkNoShow"), u"1"_s);
    // Options > Change QRZ Login clears the choice and shows the window whatever is stored.
    root.dialogs().modalScripts << [](QDialog *d) { return d->result(); };
    ChangeQrzLogin(root.services(), context, nullptr);
    QCOMPARE(root.dialogs().modalWindows.last(), u"frmQRZ"_s);
    QCOMPARE(root.settings().GetSetting("Pelnet", "Settings", "chkNoShow"), u"0"_s);
}

void TestFrmQrz::rightClick_data()
{
    QTest::addColumn<QString>("password"); // QRZ PW stored
    QTest::addColumn<QStringList>("form"); // call, name, county, city afterwards
    QTest::newRow("lookup fills the form")
        << "password=pw" << QStringList { "W4NEW", "MARY", "LEE", "OPELIKA AL" };
    QTest::newRow("no login: the web page") << "" << QStringList { "W4NEW", "", "", "" };
}

void TestFrmQrz::rightClick()
{
    QFETCH(QString, password);
    QFETCH(QStringList, form);
    LoopbackHttp server([](const QUrl &request) -> std::optional<QByteArray> {
        const QString query
            = QUrl::fromPercentEncoding(request.query(QUrl::FullyEncoded).toLatin1());
        if (query.startsWith("username="))
            return QByteArray("<Session><Key>k</Key></Session>");
        return QByteArray(
            "<Callsign><call>W4NEW</call><fname>MARY ANN</fname><addr2>Opelika</addr2>"
            "<county>Lee</county><state>AL</state></Callsign>");
    });
    MainWindowFixture f({},
        { { "Settings", "QRZ Url", server.url("/xml/current/").toString() },
            { "Settings", "QRZ Web", server.url("").toString() },
            { "Settings", "QRZ ID", "username=alice;" }, { "Settings", "QRZ PW", password } });
    FrmMain &w = f.open();
    w.qrz().setTimeoutMs(300);
    f.type("W4NEW");
    auto *nonListed = w.findChild<NonListedFrame *>("FraSearch");
    nonListed->list()->setCurrentRow(0);
    emit nonListed->list()->itemClicked(nonListed->list()->item(0));
    named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCall")->clear();
    emit nonListed->list()->customContextMenuRequested(QPoint());
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    QCOMPARE((QStringList { named<QLineEdit>(m, "txtCall")->text(),
                 named<QLineEdit>(m, "txtName")->text(), named<QLineEdit>(m, "txtCounty")->text(),
                 named<QLineEdit>(m, "txtCS")->text() }),
        form);
    if (password.isEmpty()) {
        QVERIFY(server.requests().isEmpty()); // never contacted
        QCOMPARE(f.root.shell().urls, (QList<QUrl> { server.url("/db/W4NEW") }));
    } else {
        w.findChild<QPushButton *>("CmdRefresh")->click(); // REFRESH QRZ logs in again
        QVERIFY(server.requests().size() == 3 && server.requests().last().contains("username="));
    }
}

void TestFrmQrz::netGoesOnWhateverQrzAnswers_data()
{
    QTest::addColumn<QString>("answer"); // how the server ends the request
    QTest::addColumn<bool>("lookup"); // a right-click on the call, else REFRESH QRZ
    QTest::addColumn<QString>("told"); // the status line afterwards
    const QString refusedRedirect
        = "QRZ LOOKUP FAILED: 127.0.0.1: refused a redirect to http://192.0.2.2:18081/xml";
    const QString gone = "QRZ LOOKUP FAILED: 127.0.0.1: the connection was refused";
    QTest::newRow("REFRESH, stops halfway") << "stall" << false << "QRZ DID NOT ANSWER";
    QTest::newRow("REFRESH, a byte at a time past the total bound")
        << "trickle" << false << "QRZ DID NOT ANSWER";
    QTest::newRow("REFRESH, refused redirect") << "redirect" << false << refusedRedirect;
    QTest::newRow("REFRESH, bad XML: no key, nothing to tell")
        << "bad xml" << false << "W4NEW NOT FOUND";
    QTest::newRow("REFRESH, server gone") << "gone" << false << gone;
    QTest::newRow("lookup, stops halfway") << "stall" << true << "QRZ DID NOT ANSWER";
    QTest::newRow("lookup, a byte at a time past the total bound")
        << "trickle" << true << "QRZ DID NOT ANSWER";
    QTest::newRow("lookup, refused redirect") << "redirect" << true << refusedRedirect;
    QTest::newRow("lookup, server gone") << "gone" << true << gone;
    QTest::newRow("lookup, the service's own error") << "not found" << true << "Not found: W4NEW";
}

void TestFrmQrz::netGoesOnWhateverQrzAnswers()
{
    // However a QRZ request ends, nothing waits for a click: the next call typed into
    // CALLSIGN, at once, is checked in.
    QFETCH(QString, answer);
    QFETCH(bool, lookup);
    QFETCH(QString, told);
    auto server = std::make_unique<LoopbackHttp>();
    server->setHandler([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        if (answer == "redirect")
            return LoopbackHttp::Reply::redirect(QUrl("http://192.0.2.2:18081/xml"));
        if (answer == "bad xml")
            return LoopbackHttp::Reply("<QRZDatabase><Session><Ke");
        if (answer == "not found") {
            if (request.query().startsWith("username="))
                return LoopbackHttp::Reply("<Session><Key>k</Key></Session>");
            return LoopbackHttp::Reply("<Session><Error>Not found: W4NEW</Error></Session>");
        }
        LoopbackHttp::Reply slow("");
        slow.generated = 64 * 1024;
        slow.pieceBytes = 1;
        slow.paceMs = 50;
        if (answer == "stall")
            slow.stallAfter = 3;
        return slow;
    });
    const QUrl service = server->url("/xml/current/");
    if (answer == "gone")
        server.reset(); // nothing listens there any more
    MainWindowFixture f({ { "LEE", { Station("K4AA", "AL") } } },
        { { "Settings", "QRZ Url", service.toString() },
            { "Settings", "QRZ ID", "username=alice;" }, { "Settings", "QRZ PW", "password=pw" } });
    FrmMain &w = f.openActive();
    // Bounds far below the program's, the trickle (a byte every 50 ms) within the first.
    w.qrz().setTimeoutMs(300);
    w.qrz().setTotalTimeoutMs(800);
    f.type("W4NEW");
    auto *nonListed = named<NonListedFrame>(w, "FraSearch");
    if (lookup) {
        nonListed->list()->setCurrentRow(0);
        emit nonListed->list()->customContextMenuRequested(QPoint());
    } else {
        named<QPushButton>(w, "CmdRefresh")->click();
    }
    QCOMPARE(f.status(), told);
    QCOMPARE(f.root.dialogs().messages.size(), 0);
    // Typed where the caret is, as the operator types.
    QWidget *caret = QApplication::focusWidget();
    QVERIFY(caret && w.centralWidget()->isEnabled());
    QTest::keyClicks(caret, "K4AA");
    QTest::keyClick(caret, Qt::Key_Return);
    QCOMPARE(f.status(), u"K4AA CHECKED IN"_s);
    QCOMPARE(f.checkins(), u"1"_s);
}

QTEST_MAIN(TestFrmQrz)
#include "tst_frmqrz.moc"
