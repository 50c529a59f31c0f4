#include "qtservices.h"

#include "stationdb/settingsstore.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <QSoundEffect>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

MsgButton QtDialogs::message(QWidget *parent, const QString &title, const QString &text,
    MsgIcon icon, MsgButtons buttons, MsgButton defaultButton)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMessageBox::StandardButtons qtButtons;
    if (buttons & Ok)
        qtButtons |= QMessageBox::Ok;
    if (buttons & Yes)
        qtButtons |= QMessageBox::Yes;
    if (buttons & No)
        qtButtons |= QMessageBox::No;
    if (buttons & Cancel)
        qtButtons |= QMessageBox::Cancel;
    if (!qtButtons)
        qtButtons = QMessageBox::Ok;
    box.setStandardButtons(qtButtons);
    switch (defaultButton) {
    case Ok:
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Yes:
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case No:
        box.setDefaultButton(QMessageBox::No);
        break;
    case Cancel:
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case NoButton:
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return Cancel;
    }
}

std::optional<QFont> QtDialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> QtDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString QtDialogs::chooseSaveFile(
    QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

QString QtDialogs::chooseFolder(QWidget *parent, const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

int QtDialogs::execModal(QDialog *dialog)
{
    return dialog->exec();
}

QtSounds::QtSounds(QObject *parent)
    : QObject(parent)
{
}

void QtSounds::play(const QString &sound)
{
    QUrl source;
    if (sound == SoundName::Notify() || sound == SoundName::Tada())
        source = QUrl(QStringLiteral("qrc:/sounds/") + sound + QStringLiteral(".wav"));
    else if (QFileInfo::exists(sound))
        source = QUrl::fromLocalFile(sound);
    else
        return;
    // Finished effects are released on the next play; a handful at most are alive.
    for (qsizetype i = m_playing.size() - 1; i >= 0; --i) {
        if (!m_playing[i]->isPlaying() && m_playing[i]->status() != QSoundEffect::Loading) {
            m_playing[i]->deleteLater();
            m_playing.removeAt(i);
        }
    }
    auto *effect = new QSoundEffect(this);
    effect->setSource(source);
    effect->play();
    m_playing.append(effect);
}

bool DesktopShell::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool SystemKeyboard::canSetLocks() const
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

bool SystemKeyboard::capsLockOn() const
{
#ifdef Q_OS_WIN
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
#else
    return false;
#endif
}

bool SystemKeyboard::numLockOn() const
{
#ifdef Q_OS_WIN
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
#else
    return false;
#endif
}

void SystemKeyboard::pressCapsLock()
{
#ifdef Q_OS_WIN
    keybd_event(VK_CAPITAL, 0x45, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(VK_CAPITAL, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
#endif
}

void SystemKeyboard::pressNumLock()
{
#ifdef Q_OS_WIN
    keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
#endif
}

QSize PrimaryScreen::size() const
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return screen->size();
    return QSize(1024, 768);
}

QtPrinter::QtPrinter()
    : m_font(QStringLiteral("Courier New"), 10)
{
}

QtPrinter::QtPrinter(const QString &pdfFile)
    : m_pdfFile(pdfFile)
    , m_font(QStringLiteral("Courier New"), 10)
{
}

QtPrinter::~QtPrinter() = default;

int QtPrinter::count() const
{
    if (!m_pdfFile.isEmpty())
        return 1;
    // Asking the print system can take a while; the printers are counted once a run.
    if (m_count < 0)
        m_count = int(QPrinterInfo::availablePrinterNames().size());
    return m_count;
}

QPrinter &QtPrinter::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_pdfFile.isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(m_pdfFile);
        }
    }
    return *m_printer;
}

void QtPrinter::printLine(const QList<PrintCell> &cells)
{
    m_lines.append(cells);
}

bool QtPrinter::setUp(QWidget *parent)
{
    m_error.clear();
    QPrintDialog dialog(&printer(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.exec();
    if (!printer().isValid()) {
        m_error = QStringLiteral("The printer is not available.");
        return false;
    }
    return true;
}

bool QtPrinter::endDocument()
{
    return render(printer());
}

bool QtPrinter::saveDocumentAsPdf(const QString &file)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    if (m_printer)
        pdf.setPageLayout(m_printer->pageLayout());
    return render(pdf);
}

bool QtPrinter::render(QPrinter &printer)
{
    m_error.clear();
    const auto lines = std::exchange(m_lines, {});
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_error = QStringLiteral("The printer could not be started.");
        return false;
    }
    painter.setFont(m_font);
    const QFontMetricsF metrics(painter.font(), &printer);
    const double charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const double lineHeight = metrics.lineSpacing();
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    double y = metrics.ascent();
    for (const auto &line : lines) {
        if (y > page.height()) {
            if (!printer.newPage()) {
                m_error = QStringLiteral("The printer could not start a new page.");
                painter.end();
                return false;
            }
            y = metrics.ascent();
        }
        double x = 0;
        for (const PrintCell &cell : line) {
            if (cell.column > 0)
                x = std::max(x, (cell.column - 1) * charWidth);
            painter.drawText(QPointF(x, y), cell.text);
            x += metrics.horizontalAdvance(cell.text);
        }
        y += lineHeight;
    }
    if (!painter.end()) {
        m_error = QStringLiteral("The document could not be printed.");
        return false;
    }
    return true;
}

Services MakeProductionServices()
{
    return MakeProductionServices(QString(), QDateTime());
}

Services MakeProductionServices(const QString &root, const QDateTime &now)
{
    Services s { root.isEmpty() ? Paths::fromEnvironment() : Paths::fromRoot(root), nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    s.clock = now.isValid() ? SystemClock::startingAt(now) : SystemClock::fromEnvironment();
    s.settings = std::make_shared<SettingsStore>(s.paths);
    s.dialogs = std::make_shared<QtDialogs>();
    s.sounds = std::make_shared<QtSounds>();
    s.shell = std::make_shared<DesktopShell>();
    s.keyboard = std::make_shared<SystemKeyboard>();
    s.screen = std::make_shared<PrimaryScreen>();
    s.printer = std::make_shared<QtPrinter>();
    s.web = std::make_shared<QtWebClient>();
    return s;
}
