#include "failingfs.h"
#include "platform/ui/qtservices.h"
#include "printing/textprint.h"
#include "reports/reporttext.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct PdfWord
{
    double left, right, bottom, pageHeight;
    QString text;
};

// The words of a PDF with their boxes (points from the page's top left), as poppler reads them.
QList<PdfWord> ReadWords(const QString &pdf)
{
    QList<PdfWord> words;
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    QProcess convert;
    convert.start(pdftotext, { "-bbox", pdf, "-" });
    if (!convert.waitForFinished(30000) || convert.exitCode() != 0)
        return words;
    const QString html = QString::fromUtf8(convert.readAllStandardOutput());
    const QRegularExpression tag(
        R"re(<page width="[\d.]+" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    double pageHeight = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pageHeight = m.captured(1).toDouble();
            continue;
        }
        QString text = m.captured(5);
        text.replace("&amp;", "&")
            .replace("&lt;", "<")
            .replace("&gt;", ">")
            .replace("&quot;", "\"");
        text.replace("&apos;", "'").replace("&#39;", "'");
        // The font's ligatures are one glyph each: read back as their letters.
        text.replace(QChar(0xFB00), "ff").replace(QChar(0xFB01), "fi").replace(QChar(0xFB02), "fl");
        text.replace(QChar(0xFB03), "ffi").replace(QChar(0xFB04), "ffl");
        words.append({ m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble(),
            pageHeight, text });
    }
    return words;
}

QStringList Words(const QString &text)
{
    return text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

QPageLayout DefaultLayout()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    return printer.pageLayout();
}

} // namespace

class TestPdfPages : public QObject
{
    Q_OBJECT

private slots:
    void everyWordWithinThePrintableArea_data();
    void everyWordWithinThePrintableArea();
    void fullDiskKeepsTheFileAndSaysSo_data();
    void fullDiskKeepsTheFileAndSaysSo();
};

void TestPdfPages::everyWordWithinThePrintableArea_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QFont>("font");
    QTest::newRow("preamble, 10 point") << "preamble" << QFont("DejaVu Sans Mono", 10);
    QTest::newRow("preamble, 20 point bold")
        << "preamble" << QFont("DejaVu Serif", 20, QFont::Bold);
    QTest::newRow("monthly report, 20 point") << "report" << QFont("DejaVu Sans", 20);
    QTest::newRow("a word wider than the paper") << "long word" << QFont("DejaVu Sans", 20);
}

void TestPdfPages::everyWordWithinThePrintableArea()
{
    QFETCH(QString, document);
    QFETCH(QFont, font);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    QtPrinter printer;
    printer.setFont(font);
    QStringList expected;
    if (document == "report") {
        QStringList members;
        for (int i = 0; i < 15; ++i)
            members << QString(
                "W4N%1 NEWMEMBER%1 OF A LONG COUNTY NAME WITH A LONG CITY NAME AFTER "
                "IT, ADDED 3/%1/2026")
                           .arg(i + 1);
        for (const auto &line :
            MonthlyReportPrintLines({ 31, 1234, 56 }, members, "DECEMBER", "2026")) {
            for (const PrintCell &cell : line)
                expected << Words(cell.text);
            printer.printLine(line);
        }
    } else {
        QString path = ":/texts/VorqPreamble.txt";
        if (document == "long word") {
            path = dir.filePath("long.txt");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("SHORT " + QByteArray(300, 'W') + " END\n");
        }
        QFile source(path);
        QVERIFY(source.open(QIODevice::ReadOnly));
        expected = Words(QString::fromLatin1(source.readAll()));
        QVERIFY(expected.size() > 2);
        QVERIFY(PrintReferenceText(printer, path).ok());
    }
    const QString pdf = dir.filePath("out.pdf");
    QVERIFY2(printer.saveDocumentAsPdf(pdf), qPrintable(printer.errorString()));

    const QList<PdfWord> words = ReadWords(pdf);
    QStringList read;
    for (const PdfWord &word : words)
        read << word.text;
    if (document == "long word") // cut where the paper ends, every letter kept
        QCOMPARE(read.join(' ').remove(' '), expected.join(""));
    else
        QCOMPARE(read, expected);
    const QRectF area = DefaultLayout().paintRect(QPageLayout::Point);
    for (const PdfWord &word : words) {
        QVERIFY2(word.left >= area.left() - 0.5 && word.right <= area.right() + 0.5
                && word.bottom <= area.bottom() + 0.5,
            qPrintable(QString("%1 at %2..%3, bottom %4; printable %5..%6, bottom %7")
                           .arg(word.text)
                           .arg(word.left)
                           .arg(word.right)
                           .arg(word.bottom)
                           .arg(area.left())
                           .arg(area.right())
                           .arg(area.bottom())));
    }
}

void TestPdfPages::fullDiskKeepsTheFileAndSaysSo_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("a new file") << false;
    QTest::newRow("replacing an earlier PDF") << true;
}

void TestPdfPages::fullDiskKeepsTheFileAndSaysSo()
{
    QFETCH(bool, replace);
    QTemporaryDir dir;
    const QString folder = dir.filePath("pdfs");
    QVERIFY(QDir().mkpath(folder));
    const QString pdf = folder + "/preamble.pdf";
    QtPrinter printer;
    QByteArray before;
    if (replace) {
        QVERIFY(PrintReferenceText(printer, ":/texts/VorqPreamble.txt").ok());
        QVERIFY(printer.saveDocumentAsPdf(pdf));
        before = FileBytes(pdf);
        QVERIFY(before.startsWith("%PDF"));
    }
    FullDisk full(folder);
    QVERIFY2(full.isFull(), "no way to fill a file system here");
    QVERIFY(PrintReferenceText(printer, ":/texts/VorqInst.txt").ok());
    QVERIFY(!printer.saveDocumentAsPdf(pdf));
    // The reason names the file; what stood there before is untouched.
    QVERIFY2(printer.errorString().contains(pdf), qPrintable(printer.errorString()));
    QCOMPARE(QFileInfo::exists(pdf), replace);
    if (replace)
        QCOMPARE(FileBytes(pdf), before);
    // No temporary is left behind either.
    QCOMPARE(QDir(folder).entryList({ "preamble.pdf*" }, QDir::Files | QDir::Hidden),
        replace ? QStringList { "preamble.pdf" } : QStringList());
}

QTEST_MAIN(TestPdfPages)
#include "tst_pdfpages.moc"
