#include "appearance/appearance.h"
#include "appearance/ui/controllook.h"
#include "mainwindowfixture.h"
#include "platform/ui/qtservices.h"
#include "printing/textprint.h"
#include "session/ui/netinfoframe.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

// The Format menu, the saved appearance, the closing sequence's settings and printing.
class TestAppearance : public QObject
{
    Q_OBJECT
private slots:
    void colorNumber_data();
    void colorNumber();
    void storedNumbers_data();
    void storedNumbers();
    void formatEntries_data();
    void formatEntries();
    void cancelledPickers();
    void savedKeys_data();
    void savedKeys();
    void savedAppearance_data();
    void savedAppearance();
    void firstRunAndSecondStart();
    void fontsComeBackAtEveryStart();
    void noCaptionOrNameClipped_data();
    void noCaptionOrNameClipped();
    void sizeChosenInASmallWindowIsTheSizeStored();
    void closingSequence_data();
    void closingSequence();
    void fontsScaleAlike();
    void netInfoRowsNeverOverlap_data();
    void netInfoRowsNeverOverlap();
    void printing_data();
    void printing();
    void printerFontAndSetUp();
    void pdfHoldsTheText();
};

namespace {

// What a control shows, part by part.
struct Look
{
    QString face;
    bool bold = false;
    bool italic = false;
    double size = 0;
    QColor text;
    QColor back;
};

QHash<QString, Look> Snapshot(FrmMain &w)
{
    QHash<QString, Look> looks;
    for (QWidget *c : w.centralWidget()->findChildren<QWidget *>()) {
        const QString name = c->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        const QFont f = c->font();
        looks.insert(name,
            { f.family(), f.bold(), f.italic(), f.pointSizeF(), w.look().textColor(name),
                w.look().background(name) });
    }
    return looks;
}

// The controls whose part differs between the two snapshots.
template <typename Part>
QSet<QString> Changed(
    const QHash<QString, Look> &before, const QHash<QString, Look> &after, Part part)
{
    QSet<QString> names;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (part(it.value()) != part(after.value(it.key())))
            names.insert(it.key());
    }
    return names;
}

QSet<QString> Names(const QString &list)
{
    const QStringList names = list.split(' ', Qt::SkipEmptyParts);
    return QSet<QString>(names.begin(), names.end());
}

// "face,bold=lst1 txtCall; back=lst1": per part of the look, the controls that change.
QHash<QString, QSet<QString>> Expected(const QString &expectation)
{
    QHash<QString, QSet<QString>> parts;
    for (const QString &clause : expectation.split(';', Qt::SkipEmptyParts)) {
        const QStringList sides = clause.split('=');
        for (const QString &part : sides[0].trimmed().split(','))
            parts[part] = Names(sides[1]);
    }
    return parts;
}

// Exactly the controls the expectation names change, part by part; all others keep their look.
void CompareChanges(const QHash<QString, Look> &before, const QHash<QString, Look> &after,
    const QString &expectation)
{
    const auto expected = Expected(expectation);
    const QList<std::pair<QString, std::function<QString(const Look &)>>> parts {
        { "face", [](const Look &l) { return l.face; } },
        { "bold", [](const Look &l) { return QString::number(l.bold); } },
        { "italic", [](const Look &l) { return QString::number(l.italic); } },
        { "size", [](const Look &l) { return QString::number(l.size); } },
        { "text", [](const Look &l) { return l.text.name(); } },
        { "back", [](const Look &l) { return l.back.name(); } },
    };
    for (const auto &[name, part] : parts) {
        const QSet<QString> changed = Changed(before, after, part);
        QVERIFY2(changed == expected.value(name), qPrintable(name));
    }
}

QAction *Entry(FrmMain &w, const char *name)
{
    auto *a = w.findChild<QAction *>(name);
    Q_ASSERT(a);
    return a;
}

// A second start: the settings say the program ran before.
std::initializer_list<SettingValue> kRanBefore = { { "First", "Firstime", "FALSE" } };

} // namespace

void TestAppearance::colorNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color"); // invalid: the text keeps the design colour
    QTest::newRow("red is the low byte") << "255" << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << "16711680" << QColor(0, 0, 255);
    QTest::newRow("mixed") << "197121" << QColor(1, 2, 3);
    QTest::newRow("white") << "16777215" << QColor(255, 255, 255);
    QTest::newRow("black") << "0" << QColor(0, 0, 0);
    QTest::newRow("system colour") << "-2147483633" << QColor();
    QTest::newRow("too big") << "16777216" << QColor();
    QTest::newRow("text") << "navy" << QColor();
    QTest::newRow("empty") << "" << QColor();
}

void TestAppearance::colorNumber()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    const std::optional<QColor> read = ColorFromNumberText(text);
    QCOMPARE(read.has_value(), color.isValid());
    if (color.isValid()) {
        QCOMPARE(*read, color);
        QCOMPARE(ColorNumberText(color), text);
    }
}

void TestAppearance::storedNumbers_data()
{
    // A stored text; the font size it gives (0: refused), the screen size (10 when
    // refused), the switch (-1: neither).
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("fontSize");
    QTest::addColumn<int>("screenSize");
    QTest::addColumn<int>("onOff");
    QTest::newRow("smallest") << "1" << 1.0 << 1 << -1;
    QTest::newRow("below one") << "0.9" << 0.0 << 10 << -1;
    QTest::newRow("below the cap") << "199.9" << 199.9 << 199 << -1;
    QTest::newRow("at the cap") << "200" << 200.0 << 10 << -1;
    QTest::newRow("past the cap") << "200.5" << 0.0 << 10 << -1;
    QTest::newRow("negative") << "-12" << 0.0 << 10 << -1;
    QTest::newRow("endless") << "inf" << 0.0 << 10 << -1;
    QTest::newRow("true") << " tRUE " << 0.0 << 10 << 1;
    QTest::newRow("false") << "FALSE" << 0.0 << 10 << 0;
    QTest::newRow("neither") << "yes" << 0.0 << 10 << -1;
}

void TestAppearance::storedNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, fontSize);
    QFETCH(int, screenSize);
    QFETCH(int, onOff);
    QCOMPARE(SizeFromSetting(text).value_or(0.0), fontSize);
    QCOMPARE(ScreenSizeFromSetting(text), screenSize);
    const std::optional<bool> read = BoolFromSetting(text);
    QCOMPARE(read ? int(*read) : -1, onOff);
}

void TestAppearance::formatEntries_data()
{
    // The picker answers; then the controls that change, and the keys written at once.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QString>("writes");
    const QString boxes = " TxtNew txtCall txtName txtCounty txtStatus txtCS txtChkin";
    const QString form = "Label1 Label2 Label4 Label6 LblNew lblCall lblName lblCounty lblStatus1 "
                         "lblCS fraCounties FraStations FraSearch fraFormData fraAdd";
    QTest::newRow("CONTROLS Font")
        << "mnuFormatControlsFont"
        << "face=lstCounties lstEarly; bold,italic=lst1 lstCounties lstEarly txtChkin;"
           "size=lst1 lstCounties lstEarly"
        << "Screen/Size=17";
    QTest::newRow("CONTROLS Font Color") << "mnuFormatControlsColor"
                                         << "text=lst1 lstCounties lstEarly" + boxes << "";
    QTest::newRow("CONTROLS Background Color")
        << "mnuFormatControlsBackgroundColor"
        << "back=lst1 rtxtPreamble lstCounties lstEarly" + boxes << "";
    QTest::newRow("FORM Font") << "mnuFormatFormFont"
                               << "face,bold,italic=fraPreamble " + form + "; size="
            + form << "Form/Font=DejaVu Serif;Form/Bold=True;Form/Italic=True;Form/Size=17";
    QTest::newRow("FORM Font Color") << "mnuFormatFormFontColor"
                                     << "text=lblChkins fraPreamble " + form << "";
    QTest::newRow("FORM Background Color")
        << "mnuFormatFormBackgroundColor"
        << "back=fraCounties FraStations fraAdd FraSearch fraFormData fraPreamble"
        << "";
    QTest::newRow("FORM Line Color") << "mnuFormatFormLineColor"
                                     << ""
                                     << "";
    QTest::newRow("FormData Font")
        << "mnuFormatFormDataFont"
        << "face=txtChkin lblNetMgr lblNetCtl; bold,italic,size=lblNetMgr lblNetCtl"
        << "";
    QTest::newRow("FormData Font Color")
        << "mnuFormatFormDataFontColor"
        << "text=lblCallSign lblChkins lblNetCtl lblNetMgr lblTraffic"
        << "";
}

void TestAppearance::formatEntries()
{
    QFETCH(QString, entry);
    QFETCH(QString, changes);
    QFETCH(QString, writes);
    MainWindowFixture f({}, kRanBefore);
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QFont chosen("DejaVu Serif");
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setPointSizeF(17.5);
    const QColor orange(255, 128, 0);
    f.root.dialogs().fonts.enqueue(chosen);
    f.root.dialogs().colors.enqueue(orange);
    const auto before = Snapshot(w);
    Entry(w, qPrintable(entry))->trigger();
    const auto after = Snapshot(w);

    CompareChanges(before, after, changes);
    const auto expected = Expected(changes);
    for (const QString &name : expected.value("face"))
        QCOMPARE(after[name].face, QString("DejaVu Serif"));
    for (const QString &name : expected.value("text") + expected.value("back"))
        QVERIFY(after[name].text == orange || after[name].back == orange);
    // Sizes in whole points, except the non-listed list's, which keeps the choice; a
    // frame's caption may be shown smaller, so that it fits its frame.
    for (const QString &name : expected.value("size")) {
        const double size = name == "lstEarly" ? 17.5 : 17.0;
        QCOMPARE(w.look().font(name).pointSizeF(), size);
        if (qobject_cast<QGroupBox *>(w.findChild<QWidget *>(name)))
            QVERIFY2(after[name].size <= size, qPrintable(name));
        else
            QCOMPARE(after[name].size, size);
    }
    QCOMPARE(w.windowBackground() == orange, entry == "mnuFormatFormBackgroundColor");
    QCOMPARE(w.lineColor() == orange, entry == "mnuFormatFormLineColor");
    for (const QString &write : writes.split(';', Qt::SkipEmptyParts)) {
        const QStringList parts = write.split(QRegularExpression("[/=]"));
        QCOMPARE(f.setting(parts[0], parts[1]), parts[2]);
    }
    if (writes.isEmpty())
        QVERIFY(f.setting("Screen", "Size").isEmpty() && f.setting("Form", "Font").isEmpty());
    QTRY_COMPARE(
        QApplication::focusWidget(), static_cast<QWidget *>(named<QLineEdit>(w, "txtChkin")));
}

void TestAppearance::cancelledPickers()
{
    MainWindowFixture f({}, kRanBefore);
    FrmMain &w = f.open();
    w.look().setSize({ "lst1", "lstCounties", "lstEarly" }, 11.5);
    const auto before = Snapshot(w);
    // Every picker cancelled (the script is empty).
    for (const char *entry : { "mnuFormatFormFont", "mnuFormatFormDataFont",
             "mnuFormatControlsColor", "mnuFormatControlsBackgroundColor", "mnuFormatFormFontColor",
             "mnuFormatFormBackgroundColor", "mnuFormatFormLineColor",
             "mnuFormatFormDataFontColor" })
        Entry(w, entry)->trigger();
    QCOMPARE(Snapshot(w).size(), before.size());
    QVERIFY(Changed(before, Snapshot(w), [](const Look &l) {
        return std::make_tuple(l.face, l.bold, l.italic, l.size, l.text.rgb(), l.back.rgb());
    }).isEmpty());
    QVERIFY(f.setting("Form", "Font").isEmpty());

    // CONTROLS Font, cancelled, puts the two lists to whole points and stores the size.
    Entry(w, "mnuFormatControlsFont")->trigger();
    const auto after = Snapshot(w);
    QCOMPARE(
        Changed(before, after, [](const Look &l) { return l.size; }), Names("lst1 lstCounties"));
    QCOMPARE(after["lst1"].size, 11.0);
    QCOMPARE(after["lstEarly"].size, 11.5);
    QCOMPARE(f.setting("Screen", "Size"), QString("11"));
    QVERIFY(Changed(before, after, [](const Look &l) { return l.face; }).isEmpty());
}

void TestAppearance::savedKeys_data()
{
    // One stored value at a second start, and the controls it reaches.
    QTest::addColumn<QString>("setting"); // section/key=value
    QTest::addColumn<QString>("changes");
    const QString boxes = " TxtNew txtCall txtName txtCounty txtStatus txtCS";
    const QString frames = " fraCounties FraStations fraPreamble FraSearch fraFormData "
                           "fraDeletedStations fraAdd";
    const QString labels = "Label1 Label2 Label4 Label6 LblNew lblCall lblName lblCounty "
                           "lblStatus1 lblCS";
    const QString netInfo = "lblNetMgr lblNetCtl lblChkins lblTraffic lblCallSign";
    QTest::newRow("Screen Font") << "Screen/Font=DejaVu Serif"
                                 << "face=lstCounties lstEarly lstDS" + boxes;
    QTest::newRow("Screen Bold") << "Screen/Bold=True"
                                 << "bold=lst1 lstCounties lstEarly lstDS txtChkin" + boxes;
    QTest::newRow("Screen Italic") << "Screen/Italic=True"
                                   << "italic=lst1 lstCounties lstEarly lstDS txtChkin" + boxes;
    QTest::newRow("Screen FGColor") << "Screen/FGColor=255"
                                    << "text=lst1 lstEarly lstDS txtChkin" + boxes;
    QTest::newRow("Screen BGColor")
        << "Screen/BGColor=255"
        << "back=lst1 lstCounties lstEarly lstDS rtxtPreamble txtChkin" + boxes;
    QTest::newRow("Form FGColor") << "Form/FGColor=255"
                                  << "text=" + labels + " lblMode" + frames;
    QTest::newRow("Form BGColor") << "Form/BGColor=255"
                                  << "back=LblNew lblCall lblName lblCounty lblStatus1 lblCS"
            + frames;
    QTest::newRow("Form Font") << "Form/Font=DejaVu Serif"
                               << "face=" + labels + " lblChkins lblMode" + frames;
    QTest::newRow("Form Bold") << "Form/Bold=True"
                               << "bold=" + labels + " lblChkins lblMode" + frames;
    QTest::newRow("Form Italic") << "Form/Italic=True"
                                 << "italic=" + labels + " lblChkins" + frames;
    QTest::newRow("FormData Font") << "FormData/Font=DejaVu Serif"
                                   << "face=txtChkin " + netInfo;
    QTest::newRow("FormData Bold") << "FormData/Bold=True"
                                   << "bold=" + netInfo;
    QTest::newRow("FormData Italic") << "FormData/Italic=True"
                                     << "italic=lblNetMgr lblNetCtl lblChkins lblCallSign";
    QTest::newRow("FormData Size") << "FormData/Size=31"
                                   << "size=lblNetMgr lblNetCtl lblCallSign";
    QTest::newRow("FormData FontColor") << "FormData/FontColor=255"
                                        << "text=" + netInfo;
}

void TestAppearance::savedKeys()
{
    QFETCH(QString, setting);
    QFETCH(QString, changes);
    MainWindowFixture plain({}, kRanBefore);
    const auto before = Snapshot(plain.open());
    const QStringList parts = setting.split(QRegularExpression("[/=]"));
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" }, { parts[0], parts[1], parts[2] } });
    CompareChanges(before, Snapshot(f.open()), changes);
}

void TestAppearance::savedAppearance_data()
{
    // A stored size at a second start, on a screen so wide; the size a control then shows
    // (0: its design size).
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("size");
    QTest::newRow("screen 0") << "Screen/Size=0" << 1280 << "lst1" << 10.0;
    QTest::newRow("screen empty") << "Screen/Size=" << 1280 << "txtCall" << 10.0;
    QTest::newRow("screen text") << "Screen/Size=big" << 1280 << "lstCounties" << 10.0;
    QTest::newRow("screen 11.5") << "Screen/Size=11.5" << 1280 << "lstEarly" << 11.0;
    QTest::newRow("form 20 capped") << "Form/Size=20" << 1280 << "lblMode" << 14.0;
    QTest::newRow("form 12.5 kept") << "Form/Size=12.5" << 1280 << "Label2" << 12.5;
    QTest::newRow("search narrow") << "Form/Size=20" << 1440 << "FraSearch" << 16.0;
    QTest::newRow("search wide") << "Form/Size=20" << 1600 << "FraSearch" << 20.0;
    QTest::newRow("form damaged") << "Form/Size=x" << 1280 << "Label1" << 0.0;
    QTest::newRow("counters keep") << "Form/Size=8" << 1280 << "lblChkins" << 0.0;
    QTest::newRow("formdata whole") << "FormData/Size=12.7" << 1280 << "lblNetMgr" << 12.0;
}

void TestAppearance::savedAppearance()
{
    QFETCH(QString, setting);
    QFETCH(int, screenWidth);
    QFETCH(QString, control);
    QFETCH(double, size);
    MainWindowFixture design({}, kRanBefore);
    const double designSize = design.open().look().font(control).pointSizeF();
    const QStringList parts = setting.split(QRegularExpression("[/=]"));
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" }, { parts[0], parts[1], parts[2] } });
    f.root.screen().pixels = QSize(screenWidth, 900);
    QCOMPARE(f.open().look().font(control).pointSizeF(), size > 0 ? size : designSize);
}

void TestAppearance::firstRunAndSecondStart()
{
    const std::initializer_list<SettingValue> saved = {
        { "Screen", "FGColor", "255" },
        { "Screen", "BGCOLOR", "damaged" },
        { "Form", "BGColor", "16711680" },
        { "Form", "Bold", "perhaps" },
        { "Form", "LineColor", "255" },
    };
    // First run: nothing is applied, the default faces are only written.
    MainWindowFixture first({}, saved);
    FrmMain &w1 = first.open();
    QVERIFY(w1.look().textColor("lst1") != QColor(255, 0, 0));
    QCOMPARE(w1.lineColor(), QColor(Qt::black));
    QCOMPARE(first.setting("Form", "Font"), DefaultFormFace());
    QCOMPARE(first.setting("FormData", "Font"), DefaultFormDataFace());

    MainWindowFixture second({}, saved);
    QVERIFY(second.root.settings().save("First", "Firstime", "FALSE").ok());
    FrmMain &w2 = second.open();
    QCOMPARE(w2.look().textColor("lst1"), QColor(255, 0, 0));
    QCOMPARE(w2.windowBackground(), QColor(0, 0, 255));
    QCOMPARE(w2.lineColor(), QColor(255, 0, 0));
    // Damaged values keep the design: no black-on-black window from a damaged file.
    QCOMPARE(w2.look().background("lst1"), w1.look().background("lst1"));
    QCOMPARE(w2.look().font("Label1").bold(), w1.look().font("Label1").bold());
}

void TestAppearance::fontsComeBackAtEveryStart()
{
    MainWindowFixture f({}, kRanBefore);
    QFont controls("DejaVu Serif", 14, QFont::Bold, true);
    for (int start = 1; start <= 3; ++start) {
        FrmMain &w = f.open();
        if (start == 1) {
            f.root.dialogs().fonts.enqueue(controls);
            Entry(w, "mnuFormatControlsFont")->trigger();
            f.root.dialogs().fonts.enqueue(QFont("DejaVu Sans Mono", 12));
            Entry(w, "mnuFormatFormDataFont")->trigger();
        }
        for (const char *name : { "lstCounties", "lstEarly" }) {
            const QFont shown = w.look().font(name);
            QCOMPARE(QString("%1 %2 %3 %4: %5")
                         .arg(shown.family())
                         .arg(shown.bold())
                         .arg(shown.italic())
                         .arg(start)
                         .arg(name),
                QString("DejaVu Serif 1 1 %1: %2").arg(start).arg(name));
        }
        QCOMPARE(w.look().font("txtChkin").family() + QString::number(start),
            "DejaVu Sans Mono" + QString::number(start));
        f.root.dialogs().answers.enqueue(No); // the session is not saved
        f.root.dialogs().answers.enqueue(No); // no backup
        w.close();
    }
}

void TestAppearance::sizeChosenInASmallWindowIsTheSizeStored()
{
    MainWindowFixture f({}, kRanBefore);
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize design = w.size();
    w.resize(design.width(), design.height() * 2 / 3);
    QCoreApplication::processEvents();
    f.root.dialogs().fonts.enqueue(QFont("DejaVu Sans", 12));
    Entry(w, "mnuFormatControlsFont")->trigger();
    // Shown as chosen at the moment of the choice.
    QVERIFY2(qAbs(named<QListWidget>(w, "lst1")->font().pointSizeF() - 12) < 0.6,
        qPrintable(QString::number(named<QListWidget>(w, "lst1")->font().pointSizeF())));
    w.resize(design);
    QCoreApplication::processEvents();
    const double shown = named<QListWidget>(w, "lst1")->font().pointSizeF();
    QCOMPARE(f.setting("Screen", "Size").toDouble(), shown);
    f.root.dialogs().answers.enqueue(No);
    f.root.dialogs().answers.enqueue(No);
    w.close();
    QCOMPARE(f.setting("Screen", "Size").toDouble(), shown);
    FrmMain &again = f.open();
    QCOMPARE(named<QListWidget>(again, "lst1")->font().pointSizeF(), shown);
    // No colour was chosen: the member captions stay on their frame's own background.
    QVERIFY(!f.setting("Form", "BGCOLOR").isEmpty());
    for (const char *caption : { "lblCall", "LblNew", "lblCS" })
        QVERIFY2(!again.findChild<QWidget *>(caption)->autoFillBackground(), caption);
}

void TestAppearance::noCaptionOrNameClipped_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("size"); // of the form's captions and of NET INFO, both bold
    for (const QSize screen : { QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080) }) {
        for (const char *size : { "10", "12", "14" }) {
            QTest::addRow("%dx%d, %s points", screen.width(), screen.height(), size)
                << screen << QString(size);
        }
    }
}

void TestAppearance::noCaptionOrNameClipped()
{
    QFETCH(QSize, screen);
    QFETCH(QString, size);
    // A Tuesday: long names for tonight's net control and the manager.
    MainWindowFixture f({},
        { { "First", "Firstime", "FALSE" }, { "NetCtl", "Tuesday", "CHRISTOPHER" },
            { "NetCtlCall", "Tuesday", "KJ4ABC" }, { "Settings", "NetMgr", "MAXIMILIANO" },
            { "Settings", "NetMgrCall", "WA4QQQ" }, { "Form", "Size", size },
            { "Form", "Bold", "True" }, { "FormData", "Size", size },
            { "FormData", "Bold", "True" } });
    f.root.screen().pixels = screen;
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    for (QGroupBox *frame : w.findChildren<QGroupBox *>()) {
        if (frame->title().isEmpty() || !frame->isVisible())
            continue;
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) <= frame->width(),
            qPrintable(frame->title()));
    }
    NetInfoFrame *info = w.findChild<NetInfoFrame *>();
    for (QLabel *label : info->findChildren<QLabel *>()) {
        if (label->wordWrap() || label->text().isEmpty())
            continue;
        // A name may be drawn smaller to fit; only when even that is too wide is it cut short,
        // with its whole text as the tooltip.
        const auto *eliding = qobject_cast<ElidingLabel *>(label);
        const QFont shown = eliding ? eliding->fittedFont() : label->font();
        const bool fits = QFontMetricsF(shown).horizontalAdvance(label->text())
            <= label->contentsRect().width();
        QVERIFY2(fits || (eliding && eliding->toolTip() == label->text()),
            qPrintable(label->objectName() + ": " + label->text()));
    }
    QCOMPARE(named<QLabel>(w, "lblNetCtl")->text(), "CHRISTOPHER   KJ4ABC"); // the whole text stays
    // The member form's captions are whole, and its buttons apart.
    auto *form = w.findChild<QGroupBox *>("fraAdd");
    for (QLabel *label : form->findChildren<QLabel *>()) {
        if (label->wordWrap() || label->text().isEmpty() || !label->isVisible())
            continue;
        QVERIFY2(
            label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width()
                && label->geometry().right() < form->width(),
            qPrintable(label->objectName() + ": " + label->text()));
    }
    QVERIFY(form->findChild<QWidget *>("cmdSave")->geometry().right()
        < form->findChild<QWidget *>("cmdCancel")->x());
    // The lists stand below their frames' captions.
    for (const auto &[list, frame] :
        { std::pair("lstDS", "fraDeletedStations"), std::pair("lstEarly", "FraSearch") })
        QVERIFY2(w.findChild<QWidget *>(list)->y()
                >= w.findChild<QGroupBox *>(frame)->contentsRect().top(),
            list);
}

void TestAppearance::closingSequence_data()
{
    QTest::addColumn<int>("printers");
    QTest::newRow("with printer") << 1;
    QTest::newRow("no printer") << 0;
}

void TestAppearance::closingSequence()
{
    QFETCH(int, printers);
    MainWindowFixture f;
    f.root.printer().printers = printers;
    FrmMain &w = f.open();
    QCOMPARE(w.findChild<QMenu *>("mnuFilePrint")->isEnabled(), printers > 0);
    f.root.dialogs().colors.enqueue(QColor(1, 2, 3));
    Entry(w, "mnuFormatControlsColor")->trigger();
    f.root.dialogs().colors.enqueue(QColor(0, 128, 0));
    Entry(w, "mnuFormatFormLineColor")->trigger();
    QFont printerFont("DejaVu Sans Mono", 14);
    printerFont.setBold(true);
    f.root.printer().setFont(printerFont);
    f.root.dialogs().answers.enqueue(No); // the session is not saved
    f.root.dialogs().answers.enqueue(No); // no backup
    w.close();

    QCOMPARE(f.root.dialogs().messages.size(), 2);
    QCOMPARE(f.setting("Screen", "FGCOLOR"), QString("197121"));
    QCOMPARE(f.setting("Form", "LineColor"), QString("32768"));
    QCOMPARE(f.setting("First", "Firstime"), QString("FALSE"));
    // The faces the first run stored are not overwritten by this run's design fonts.
    QCOMPARE(f.setting("Form", "Font"), DefaultFormFace());
    QCOMPARE(f.setting("FormData", "Font"), DefaultFormDataFace());
    QCOMPARE(f.setting("Print", "Font").isEmpty(), printers == 0);
    if (printers > 0) {
        QCOMPARE(f.setting("Print", "Font"), QString("DejaVu Sans Mono"));
        QCOMPARE(f.setting("Print", "Bold"), QString("True"));
        QCOMPARE(f.setting("Print", "Size"), QString("14"));
    }

    // The next start shows what was saved, and gives the printer its font.
    StartupContext context;
    FillStartupContext(context, f.root.services());
    f.root.printer().setFont(QFont());
    // Without a printer a stored font (from an earlier computer) still shapes the PDFs.
    if (printers == 0)
        QVERIFY(f.root.settings().save("Print", "Font", "DejaVu Sans Mono"));
    FrmMain again(f.root.services(), context);
    QCOMPARE(again.look().textColor("txtCall"), QColor(1, 2, 3));
    QCOMPARE(again.lineColor(), QColor(0, 128, 0));
    QCOMPARE(f.root.printer().font().family(), QString("DejaVu Sans Mono"));
}

void TestAppearance::fontsScaleAlike()
{
    MainWindowFixture f({}, kRanBefore);
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto design = Snapshot(w);
    w.resize(w.width() / 2, w.height() / 2);
    QCoreApplication::processEvents();
    const auto half = Snapshot(w);
    for (auto it = design.begin(); it != design.end(); ++it) {
        const double expected = it.key() == "lblChkins" || it.key() == "lblTraffic"
            ? it.value().size // the counters never shrink
            : std::max(4.0, it.value().size / 2);
        QVERIFY2(qAbs(half[it.key()].size - expected) < 0.6,
            qPrintable(
                QString("%1: %2 for %3").arg(it.key()).arg(half[it.key()].size).arg(expected)));
    }
    // Maximised, the sizes are those stored (at the design height), whatever the window's
    // size.
    w.look().setDesignSize({ "lst1" }, 15);
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    QCoreApplication::processEvents();
    QCOMPARE(named<QListWidget>(w, "lst1")->font().pointSizeF(), 15.0);
    QCOMPARE(w.look().font("Label1").pointSizeF(), design["Label1"].size);
    QCOMPARE(w.findChild<QWidget *>("Label1")->font().pointSizeF(), design["Label1"].size);
}

void TestAppearance::netInfoRowsNeverOverlap_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("dataSize");
    QTest::addColumn<QString>("formSize"); // bold as well, when given
    QTest::newRow("1024x768") << QSize(1024, 768) << ""
                              << "";
    QTest::newRow("1024x768 big names") << QSize(1024, 768) << "20"
                                        << "";
    QTest::newRow("1024x768 captions 14 bold") << QSize(1024, 768) << "14"
                                               << "14";
    QTest::newRow("1280x1024") << QSize(1280, 1024) << ""
                               << "";
}

void TestAppearance::netInfoRowsNeverOverlap()
{
    QFETCH(QSize, screen);
    QFETCH(QString, dataSize);
    QFETCH(QString, formSize);
    MainWindowFixture f({},
        { { "First", "Firstime", "FALSE" }, { "FormData", "Size", dataSize },
            { "Form", "Size", formSize }, { "Form", "Bold", formSize.isEmpty() ? "" : "True" } });
    f.root.screen().pixels = screen;
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    NetInfoFrame *frame = w.findChild<NetInfoFrame *>();
    QWidget *const rows[]
        = { named<QLabel>(*frame, "lblCallSign"), named<QLineEdit>(*frame, "txtChkin"),
              named<QLabel>(*frame, "lblStatus"), named<QLabel>(*frame, "lblChkins"),
              named<QLabel>(*frame, "Label6"), named<PressLabel>(*frame, "lblTraffic"),
              named<QLabel>(*frame, "Label1"), named<QLabel>(*frame, "Label4"),
              named<ElidingLabel>(*frame, "lblNetCtl"), named<QLabel>(*frame, "Label2"),
              named<ElidingLabel>(*frame, "lblNetMgr"), named<QPushButton>(*frame, "CmdChange") };
    for (std::size_t i = 1; i < std::size(rows); ++i)
        QVERIFY2(rows[i]->y() > rows[i - 1]->geometry().bottom(),
            qPrintable(rows[i]->objectName() + " over " + rows[i - 1]->objectName()));
    QVERIFY(named<QPushButton>(*frame, "CmdChange")->geometry().bottom() < frame->height());
    // Each heading stands beside its name.
    for (const auto &[heading, name] :
        { std::pair(named<QLabel>(*frame, "Label4"), named<ElidingLabel>(*frame, "lblNetCtl")),
            std::pair(named<QLabel>(*frame, "Label2"), named<ElidingLabel>(*frame, "lblNetMgr")) })
        QVERIFY2(name->y() - heading->geometry().bottom() <= heading->height(),
            qPrintable(heading->text()));
    // Each row shows its text whole.
    for (QWidget *row : rows)
        QVERIFY2(row->height() >= row->sizeHint().height(), qPrintable(row->objectName()));
    // The non-listed list and its scroll bar lie clear of the buttons beside it.
    for (const char *button : { "CmdRefresh", "cmdClear" })
        QVERIFY2(!w.findChild<QWidget *>("lstEarly")
                      ->geometry()
                      .intersects(w.findChild<QWidget *>(button)->geometry()),
            button);
}

void TestAppearance::printing_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("file"); // empty: the file is missing
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("printers");
    QTest::newRow("instructions") << "mnuFilePrintInstructions"
                                  << "VorqInst.txt"
                                  << "HOW TO RUN" << 1;
    QTest::newRow("preamble") << "mnuFilePrintPreamble"
                              << "VorqPreamble.txt"
                              << "GOOD EVENING" << 1;
    QTest::newRow("instructions after preamble") << "both"
                                                 << "VorqInst.txt"
                                                 << "HOW TO RUN" << 1;
    QTest::newRow("missing file") << "mnuFilePrintInstructions"
                                  << ""
                                  << "" << 1;
    QTest::newRow("no printer") << "mnuFilePrintInstructions"
                                << "VorqInst.txt"
                                << "" << 0;
    QTest::newRow("pdf without printer") << "mnuFilePdfInstructions"
                                         << "VorqInst.txt"
                                         << "HOW TO RUN" << 0;
}

void TestAppearance::printing()
{
    QFETCH(QString, entry);
    QFETCH(QString, file);
    QFETCH(QString, printed);
    QFETCH(int, printers);
    MainWindowFixture f({}, kRanBefore);
    f.root.printer().printers = printers;
    FrmMain &w = f.open();
    const QString folder = f.context.UserDataFolder;
    QDir().mkpath(folder);
    QFile::remove(folder + "VorqInst.txt");
    QFile::remove(folder + "VorqPreamble.txt");
    if (!file.isEmpty()) {
        QFile out(folder + "VorqInst.txt");
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("HOW TO RUN\r\nTHE NET\r\n");
        out.close();
        QFile pre(folder + "VorqPreamble.txt");
        QVERIFY(pre.open(QIODevice::WriteOnly));
        pre.write("GOOD EVENING\n\nTHIS IS THE NET\n");
    }
    QFont font("DejaVu Serif", 13);
    f.root.printer().setFont(font);
    f.root.dialogs().saveFiles.enqueue(f.root.root() + "/copy.pdf");
    if (entry == "both") {
        Entry(w, "mnuFilePrintPreamble")->trigger();
        entry = "mnuFilePrintInstructions";
    }
    Entry(w, qPrintable(entry))->trigger();

    auto &documents = f.root.printer().documents;
    if (printed.isEmpty()) {
        QVERIFY(documents.isEmpty());
        if (file.isEmpty())
            QCOMPARE(f.status(), QString("CANNOT READ VorqInst.txt"));
        return;
    }
    const QList<PrintCell> empty;
    const auto &lines = documents.last();
    QCOMPARE(lines[0], empty);
    QCOMPARE(lines[1], empty);
    QCOMPARE(lines[2], (QList<PrintCell> { { 0, printed } }));
    QCOMPARE(lines.size(), 2 + (printed == "HOW TO RUN" ? 2 : 3));
    QCOMPARE(f.root.printer().documentFonts.last(), font);
    QCOMPARE(f.root.printer().pdfFiles.size(), entry.contains("Pdf") ? 1 : 0);
}

void TestAppearance::printerFontAndSetUp()
{
    MainWindowFixture f({}, kRanBefore);
    FrmMain &w = f.open();
    RecordingPrinter &printer = f.root.printer();
    const QFont before = printer.font();
    Entry(w, "mnuFilePrintFont")->trigger(); // cancelled
    QCOMPARE(printer.font(), before);
    f.root.dialogs().fonts.enqueue(QFont("DejaVu Sans", 14, QFont::Bold));
    Entry(w, "mnuFilePrintFont")->trigger();
    QCOMPARE(printer.font().pointSize(), 14);
    QVERIFY(f.root.dialogs().messages.isEmpty());

    printer.failSetUp = true;
    Entry(w, "mnuFilePrintPageSetup")->trigger();
    QCOMPARE(printer.setUps, 1);
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(
        f.root.dialogs().messages[0].text, QString("PRINTER ERROR - FIX PROBLEM AND TRY AGAIN!"));
}

void TestAppearance::pdfHoldsTheText()
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    QFile text(dir.filePath("VorqInst.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("FIRST LINE OF THE INSTRUCTIONS\nSECOND LINE\n");
    text.close();
    QtPrinter printer;
    printer.setFont(QFont("DejaVu Sans Mono", 12));
    // A text too long to lay out is refused whole, as on screen.
    QFile endless(dir.filePath("VorqPreamble.txt"));
    QVERIFY(endless.open(QIODevice::WriteOnly));
    endless.write(QByteArray("x").repeated(1024 * 1024));
    endless.close();
    QCOMPARE(PrintReferenceText(printer, endless.fileName()).error(),
        "NOT PRINTED: " + endless.fileName() + ": a line longer than 10,000 characters");
    QVERIFY(PrintReferenceText(printer, text.fileName()).ok());
    // A file that cannot be written (a folder stands in its place) is a failure, not a copy.
    QVERIFY(!printer.saveDocumentAsPdf(dir.path()));
    QVERIFY(!printer.errorString().isEmpty());
    QVERIFY(PrintReferenceText(printer, text.fileName()).ok());
    QVERIFY2(printer.saveDocumentAsPdf(dir.filePath("out.pdf")), qPrintable(printer.errorString()));
    // The words with their boxes, in points from the page's top.
    QProcess convert;
    convert.start(pdftotext, { "-bbox", dir.filePath("out.pdf"), "-" });
    QVERIFY(convert.waitForFinished(30000));
    const QString html = QString::fromUtf8(convert.readAllStandardOutput());
    QRegularExpression word(R"re(<word xMin="[\d.]+" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QList<double> tops;
    QStringList words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        tops << m.captured(1).toDouble();
        words << m.captured(2);
    }
    QCOMPARE(words.join(' '), QString("FIRST LINE OF THE INSTRUCTIONS SECOND LINE"));
    // Two empty lines come first: the text starts two line spacings below the top of the
    // printable area.
    QPrinter page(QPrinter::HighResolution);
    const double top = page.pageLayout().paintRect(QPageLayout::Point).top();
    const double spacing = tops.last() - tops.first();
    QVERIFY(spacing > 5);
    QVERIFY2(qAbs(tops.first() - top - 2 * spacing) < spacing / 2,
        qPrintable(
            QString("text at %1, area at %2, spacing %3").arg(tops.first()).arg(top).arg(spacing)));
}

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
