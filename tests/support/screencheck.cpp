#include "screencheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace {

QImage OnScreen(QWidget *widget)
{
    QWidget *top = widget->window();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    QScreen *screen = top->screen();
    return screen->grabWindow(top->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QString Difference(const QImage &shown, const QImage &fresh)
{
    if (shown.size() != fresh.size())
        return QStringLiteral("the screen shows %1x%2, the widget is %3x%4")
            .arg(shown.width())
            .arg(shown.height())
            .arg(fresh.width())
            .arg(fresh.height());
    // Icons are scaled from a cache on the screen and afresh in the rendering, which shades
    // a few of their pixels apart; a stale or unpainted area differs in far more.
    constexpr int channelTolerance = 32;
    constexpr double areaTolerance = 0.005;
    auto apart = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) > channelTolerance
            || std::abs(qGreen(a) - qGreen(b)) > channelTolerance
            || std::abs(qBlue(a) - qBlue(b)) > channelTolerance;
    };
    int differing = 0;
    QPoint first;
    for (int y = 0; y < shown.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(shown.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(fresh.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if (apart(a[x], b[x]) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    if (differing <= areaTolerance * shown.width() * shown.height())
        return QString();
    return QStringLiteral("%1 of %2 pixels differ, the first at (%3, %4)")
        .arg(differing)
        .arg(shown.width() * shown.height())
        .arg(first.x())
        .arg(first.y());
}

} // namespace

QString ScreenDiffers(QWidget *widget)
{
    if (!widget->window()->windowHandle()
        || !QTest::qWaitForWindowExposed(widget->window()->windowHandle()))
        return QStringLiteral("the window was never shown");
    // A paint on its way is given time to arrive; a screen that stays wrong is a fault.
    QElapsedTimer waited;
    waited.start();
    QString difference;
    do {
        QTest::qWait(50);
        difference = Difference(
            OnScreen(widget), widget->grab().toImage().convertToFormat(QImage::Format_RGB32));
    } while (!difference.isEmpty() && waited.elapsed() < 3000);

    return difference;
}

MsgButton OnScreenDialogs::message(QWidget *parent, const QString &title, const QString &text,
    MsgIcon icon, MsgButtons buttons, MsgButton defaultButton)
{
    titles << title;
    const MsgButton answer = answers.isEmpty() ? defaultButton : answers.takeFirst();
    // Runs inside the box's own event loop, as the operator would look at it.
    QTimer::singleShot(0, [this, title, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QElapsedTimer waited;
        waited.start();
        while (!box && waited.elapsed() < 5000) {
            QTest::qWait(20);
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        }
        if (!box) {
            paintFaults << title + QStringLiteral(": no box was shown");
            return;
        }
        if (const QString fault = ScreenDiffers(box); !fault.isEmpty())
            paintFaults << title + QStringLiteral(": ") + fault;
        const QMessageBox::StandardButton which = answer == Yes ? QMessageBox::Yes
            : answer == No                                      ? QMessageBox::No
            : answer == Cancel                                  ? QMessageBox::Cancel
                                                                : QMessageBox::Ok;
        if (QAbstractButton *button = box->button(which))
            button->click();
        else
            box->reject();
    });
    return QtDialogs::message(parent, title, text, icon, buttons, defaultButton);
}
