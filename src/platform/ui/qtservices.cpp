#include "qtservices.h"

#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"

#include <QBuffer>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
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

QString QtDialogs::chooseOpenFile(
    QWidget *parent, const QString &title, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

int QtDialogs::execModal(QDialog *dialog)
{
    return dialog->exec();
}

void QtDialogs::popupMenu(QMenu *menu, const QPoint &at)
{
    menu->exec(at);
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
    if (!m_pdfFile.isEmpty())
        return saveDocumentAsPdf(m_pdfFile);
    return render(printer(), printer().resolution());
}

bool QtPrinter::saveDocumentAsPdf(const QString &file)
{
    // The pages are made in memory and then go through the one write path, so a full disk
    // or a lost folder leaves an earlier file as it was and is told, never half written.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setCreator(QStringLiteral("VORQ"));
        // The paper and margins of the set-up, or what a printer would use by default.
        QPrinter defaults(QPrinter::HighResolution);
        defaults.setOutputFormat(QPrinter::PdfFormat);
        pdf.setResolution(defaults.resolution());
        pdf.setPageLayout(m_printer ? m_printer->pageLayout() : defaults.pageLayout());
        if (!render(pdf, pdf.resolution()))
            return false;
    }
    if (bytes.data().isEmpty()) {
        m_error = QStringLiteral("The PDF document could not be made.");
        return false;
    }
    if (const Status written = WriteFileAtomically(file, bytes.data()); !written) {
        m_error = written.error();
        return false;
    }
    return true;
}

namespace {

// Draws the lines of a document on pages: every line wrapped at the printable width (a
// long paragraph goes on below, never off the paper) and a new page where one is full.
class PageWriter
{
public:
    PageWriter(QPainter &painter, QPagedPaintDevice &device, int resolution)
        : m_painter(painter)
        , m_device(device)
        , m_metrics(painter.font(), &device)
        , m_page(device.pageLayout().paintRectPixels(resolution))
        , m_y(m_metrics.ascent())
    {
    }

    double charWidth() const { return m_metrics.horizontalAdvance(QLatin1Char('0')); }

    // Draws text from x on; what does not fit goes on the next lines from indent. Returns
    // where the text ends on its last line.
    std::optional<double> draw(double x, QString text, double indent)
    {
        const double width = m_page.width();
        while (!text.isEmpty()) {
            if (x + m_metrics.horizontalAdvance(text) <= width) {
                m_painter.drawText(QPointF(x, m_y), text);
                return x + m_metrics.horizontalAdvance(text);
            }
            const qsizetype cut = breakAt(text, width - x);
            if (cut == 0 && x > indent) {
                // Not even the first word fits here: it starts the next line.
                if (!nextLine())
                    return std::nullopt;
                x = indent;
                continue;
            }
            const qsizetype taken = cut > 0 ? cut : fittingCharacters(text, width - x);
            m_painter.drawText(QPointF(x, m_y), text.left(taken));
            text = text.mid(taken);
            while (text.startsWith(QLatin1Char(' ')))
                text.remove(0, 1);
            if (!nextLine())
                return std::nullopt;
            x = indent;
        }
        return x;
    }

    // The next line, on a new page when this one is full.
    bool nextLine()
    {
        m_y += m_metrics.lineSpacing();
        if (m_y + m_metrics.descent() <= m_page.height())
            return true;
        m_y = m_metrics.ascent();
        return m_device.newPage();
    }

private:
    // The length of the longest part of text up to a blank that fits in room; 0 if none.
    qsizetype breakAt(const QString &text, double room) const
    {
        qsizetype best = 0;
        for (qsizetype i = text.indexOf(QLatin1Char(' ')); i > 0;
             i = text.indexOf(QLatin1Char(' '), i + 1)) {
            if (m_metrics.horizontalAdvance(text.left(i)) > room)
                break;
            best = i;
        }
        return best;
    }

    // A word wider than the line is cut where the line ends (at least one character).
    qsizetype fittingCharacters(const QString &text, double room) const
    {
        qsizetype n = 1;
        while (n < text.size() && m_metrics.horizontalAdvance(text.left(n + 1)) <= room)
            ++n;
        return n;
    }

    QPainter &m_painter;
    QPagedPaintDevice &m_device;
    QFontMetricsF m_metrics;
    QRectF m_page;
    double m_y;
};

} // namespace

bool QtPrinter::render(QPagedPaintDevice &device, int resolution)
{
    m_error.clear();
    const auto lines = std::exchange(m_lines, {});
    QPainter painter;
    if (!painter.begin(&device)) {
        m_error = QStringLiteral("The printer could not be started.");
        return false;
    }
    painter.setFont(m_font);
    PageWriter page(painter, device, resolution);
    const double charWidth = page.charWidth();
    bool first = true;
    for (const auto &line : lines) {
        if (!first && !page.nextLine()) {
            m_error = QStringLiteral("The printer could not start a new page.");
            painter.end();
            return false;
        }
        first = false;
        double x = 0;
        const double width = device.pageLayout().paintRectPixels(resolution).width();
        for (const PrintCell &cell : line) {
            if (cell.column > 0) {
                const double end = x;
                x = std::max(x, (cell.column - 1) * charWidth);
                // A text too long for its column moves left, as far as it must, rather than
                // run off the paper (a heading in a large font).
                const double textWidth
                    = QFontMetricsF(painter.font(), &device).horizontalAdvance(cell.text);
                if (x + textWidth > width)
                    x = std::max(end, width - textWidth);
            }
            // A column's text that still runs over goes on under its column while that
            // leaves room for a few words, else from the left edge.
            const double room = width - x;
            const std::optional<double> end
                = page.draw(x, cell.text, room >= 20 * charWidth ? x : 0);
            if (!end) {
                m_error = QStringLiteral("The printer could not start a new page.");
                painter.end();
                return false;
            }
            x = *end;
        }
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
