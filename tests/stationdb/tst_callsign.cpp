#include "stationdb/callsign.h"

#include <QTest>

class TestCallSign : public QObject
{
    Q_OBJECT

private slots:
    void isValidCall_data();
    void isValidCall();
    void pastedText_data();
    void pastedText();
};

void TestCallSign::isValidCall_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<bool>("valid");
    QTest::newRow("1x3") << "K4ABC" << true;
    QTest::newRow("1x4, six long with digit second") << "K4ABCD" << false;
    QTest::newRow("2x3") << "KA4ABC" << true;
    QTest::newRow("seven long") << "KA4ABCD" << false;
    QTest::newRow("digits 0 and 9") << "W0AB" << true;
    QTest::newRow("digit 9, three long") << "N9Z" << true;
    QTest::newRow("tilde, the last printable") << "K4~BC" << true;
    QTest::newRow("delete") << "K4\u007fBC" << false;
    QTest::newRow("ends in its only digit") << "KA4" << false;
    // Only the first occurrence of a digit is looked at, so a repeat may end the call.
    QTest::newRow("ends in a repeated digit") << "KA4AB4" << true;
    QTest::newRow("starts with B") << "B4ABC" << false;
    QTest::newRow("two different digits") << "K4A5C" << false;
    QTest::newRow("same digit repeated") << "K4A4C" << true;
    QTest::newRow("hyphen passes") << "K4-BC" << true;
    QTest::newRow("digit fourth") << "KAB4C" << false;
    QTest::newRow("lower case is the caller's job") << "k4abc" << false;
    // What a paste brings: each would make a call that is never found again as typed.
    QTest::newRow("blank inside") << "K4A B" << false;
    QTest::newRow("no-break space") << "K4A\u00a0B" << false;
    QTest::newRow("letter outside Latin-1") << "K4\u0141B" << false;
}

void TestCallSign::isValidCall()
{
    QFETCH(QString, call);
    QFETCH(bool, valid);
    QCOMPARE(IsValidCall(call), valid);
}

void TestCallSign::pastedText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    const int call = int(FieldKind::Call);
    const int text = int(FieldKind::Text);
    QTest::newRow("call with tab and NUL")
        << call << QString::fromLatin1("K4\tA\0BC", 7) << "K4ABC";
    QTest::newRow("ends of the letters and digits") << call << "@Az[`az{/09:"
                                                    << "Azaz09";
    QTest::newRow("name outside Latin-1") << text << "\u0141UKASZ"
                                          << "UKASZ";
    QTest::newRow("city with accent and RTL mark") << text << "MONTR\u00c9AL\u200f"
                                                   << "MONTRAL";
    QTest::newRow("line feed and no-break space") << text << "ST\nJOHN\u00a0X"
                                                  << "STJOHNX";
}

void TestCallSign::pastedText()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, kept);
    QCOMPARE(FilterText(FieldKind(kind), text), kept);
    QCOMPARE(PassesKeyFilter(FieldKind(kind), text), kept == text);
    QVERIFY(PassesKeyFilter(FieldKind(kind), kept));
}

QTEST_GUILESS_MAIN(TestCallSign)
#include "tst_callsign.moc"
