#include "netinfoframe.h"

#include "platform/named.h"
#include "platform/ui/announcer.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <iterator>

void PressLabel::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button());
    QLabel::mousePressEvent(event);
}

QFont ElidingLabel::fittedFont() const
{
    QFont fitted = font();
    const double floor = std::max(6.0, font().pointSizeF() * 2 / 3);
    while (fitted.pointSizeF() - 0.5 >= floor
        && QFontMetricsF(fitted).horizontalAdvance(text()) > contentsRect().width())
        fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    return fitted;
}

bool ElidingLabel::isElided() const
{
    return QFontMetricsF(fittedFont()).horizontalAdvance(text()) > contentsRect().width();
}

void ElidingLabel::updateToolTip()
{
    const QString tip = isElided() ? text() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    // Checked here too: the text may have changed since the last resize.
    updateToolTip();
    QPainter painter(this);
    const QRect area = contentsRect();
    const QFont fitted = fittedFont();
    painter.setFont(fitted);
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(),
        QFontMetrics(fitted).elidedText(text(), Qt::ElideRight, area.width()), foregroundRole());
}

void ElidingLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

namespace {
QLabel *centredLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = Named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
} // namespace

NetInfoFrame::NetInfoFrame(QWidget *parent)
    : QGroupBox(QStringLiteral("NET INFO"), parent)
{
    setObjectName(QStringLiteral("fraFormData"));
    lblCallSign = centredLabel("lblCallSign", QStringLiteral("CALLSIGN"), this);
    txtChkin = Named(new QLineEdit(this), "txtChkin");
    lblStatus = centredLabel("lblStatus", QString(), this);
    lblStatus->setWordWrap(true);
    lblStatus->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    lblChkins = centredLabel("lblChkins", QStringLiteral("0"), this);
    Label6 = centredLabel("Label6", QStringLiteral("CHECK INS"), this);
    lblTraffic = Named(new PressLabel(QStringLiteral("0"), this), "lblTraffic");
    lblTraffic->setAlignment(Qt::AlignCenter);
    Label1 = centredLabel("Label1", QStringLiteral("TRAFFIC"), this);
    Label4 = centredLabel("Label4", QStringLiteral("NET CONTROL"), this);
    // A long name and call is cut short with its whole text in a tooltip, never clipped at
    // both ends.
    lblNetCtl = Named(new ElidingLabel(this), "lblNetCtl");
    lblNetCtl->setAlignment(Qt::AlignCenter);
    Label2 = centredLabel("Label2", QStringLiteral("NET MANAGER"), this);
    lblNetMgr = Named(new ElidingLabel(this), "lblNetMgr");
    lblNetMgr->setAlignment(Qt::AlignCenter);
    CmdChange = Named(new QPushButton(QStringLiteral("CHANGE"), this), "CmdChange");
    announcer = new Announcer(this);

    // Screen readers name each control by its caption.
    lblCallSign->setBuddy(txtChkin);
    // The status line keeps no accessible name of its own: so each new text is announced
    // to screen readers as a change of its name.
    lblStatus->setAccessibleDescription(QStringLiteral("STATUS"));
    lblChkins->setAccessibleName(Label6->text() + QStringLiteral(", 0"));
    lblTraffic->setAccessibleName(Label1->text() + QStringLiteral(", 0"));
    lblNetCtl->setAccessibleDescription(Label4->text());
    lblNetMgr->setAccessibleDescription(Label2->text());

    QFont big = font();
    big.setPointSize(big.pointSize() * 2);
    txtChkin->setFont(big);
    QFont counter = font();
    counter.setPointSize(24);
    lblChkins->setFont(counter);
    lblTraffic->setFont(counter);

    connect(
        txtChkin, &QLineEdit::returnPressed, this, [this] { emit callEntered(txtChkin->text()); });
    connect(lblTraffic, &PressLabel::pressed, this, &NetInfoFrame::trafficPressed);
    connect(CmdChange, &QPushButton::clicked, this, &NetInfoFrame::changeClicked);
}

QWidget *NetInfoFrame::changeButton() const
{
    return CmdChange;
}

QString NetInfoFrame::typedCall() const
{
    return txtChkin->text();
}

void NetInfoFrame::clearTypedCall()
{
    txtChkin->clear();
}

void NetInfoFrame::focusCallsign()
{
    txtChkin->setFocus();
}

void NetInfoFrame::showStatus(const QString &text)
{
    lblStatus->setText(text);
}

void NetInfoFrame::markStatus(bool failing)
{
    lblStatus->setStyleSheet(failing
            ? QStringLiteral("color: red; font-weight: bold; background-color: yellow;")
            : QStringLiteral("color: red; font-weight: bold;"));
}

void NetInfoFrame::showCheckins(int count)
{
    lblChkins->setText(QString::number(count));
    lblChkins->setAccessibleName(QStringLiteral("CHECK INS, %1").arg(count));
}

void NetInfoFrame::showTraffic(const QString &caption, int count)
{
    lblTraffic->setText(caption);
    lblTraffic->setAccessibleName(QStringLiteral("TRAFFIC, %1").arg(count));
}

void NetInfoFrame::showNetControl(const QString &text)
{
    lblNetCtl->setText(text);
}

void NetInfoFrame::showNetManager(const QString &text)
{
    lblNetMgr->setText(text);
}

void NetInfoFrame::showNetControlRole(bool alternate, bool changedTonight)
{
    Label4->setText(alternate ? QStringLiteral("ALT NET CONTROL") : QStringLiteral("NET CONTROL"));
    lblNetCtl->setAccessibleDescription(Label4->text());
    if (!changedTonight)
        return;
    CmdChange->setStyleSheet(alternate ? QStringLiteral("background-color: rgb(255, 255, 0);")
                                       : QStringLiteral("background-color: rgb(0, 255, 0);"));
    if (alternate)
        CmdChange->setText(QStringLiteral("CHANGED"));
}

QString NetInfoFrame::netControlHeading() const
{
    return Label4->text();
}

void NetInfoFrame::announce(const QString &text)
{
    announcer->announce(text);
}

void NetInfoFrame::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    arrange();
}

void NetInfoFrame::arrange()
{
    const double W = width();
    const double H = height();
    auto centre = [W](QWidget *w, double top, double height, double widthShare = 0.9) {
        const int wd = int(W * widthShare);
        w->setGeometry(int((W - wd) / 2), int(top), wd, int(height));
    };
    const double row = H * 0.0773;
    centre(lblCallSign, H * 0.0464, row);
    txtChkin->setGeometry(int(W * 0.0454), int(H * 0.1133), int(W * 0.909), int(row));
    lblStatus->setGeometry(int(W * 0.0454), int(H * 0.215), int(W * 0.9), int(H * 0.1));
    centre(lblChkins, H * 0.32, H * 0.06);
    centre(Label6, H * 0.38, H * 0.045);
    centre(lblTraffic, H * 0.43, H * 0.06);
    centre(Label1, H * 0.49, H * 0.045);
    centre(Label4, H * 0.59, 400 / 15.0);
    centre(lblNetCtl, H * 0.65, H * 0.06);
    centre(Label2, H * 0.74, H * 0.045);
    centre(lblNetMgr, H * 0.79, H * 0.06);
    centre(CmdChange, H * 0.89, H * 0.06, 0.3);
    if (m_smallScreen) {
        lblNetMgr->move(lblNetMgr->x(), int((H - lblNetMgr->height()) / 1.07));
        lblNetCtl->move(lblNetCtl->x(), int((H - lblNetCtl->height()) / 1.32));
        Label2->move(Label2->x(), int((H - lblNetMgr->height()) / 1.19));
        // The heading stands right above its name, not halfway up the column.
        Label4->move(Label4->x(), lblNetCtl->y() - Label4->height() - 4);
    }
    keepApart();
}

void NetInfoFrame::keepApart()
{
    // Fractions and fonts chosen apart can put one row over another (a big font, a small
    // screen): each row is as high as its text, and rows that would overlap are moved down,
    // then back up from the frame's bottom as far as the rows above leave room.
    QWidget *const stack[] = { lblCallSign, txtChkin, lblStatus, lblChkins, Label6, lblTraffic,
        Label1, Label4, lblNetCtl, Label2, lblNetMgr, CmdChange };
    constexpr int gap = 4;
    const int n = int(std::size(stack));
    QList<QRect> rows;
    for (QWidget *w : stack) {
        QRect r = w->geometry();
        r.setHeight(std::max(r.height(), w->sizeHint().height()));
        rows << r;
    }
    for (int i = 1; i < n; ++i) {
        if (rows[i].top() < rows[i - 1].bottom() + gap)
            rows[i].moveTop(rows[i - 1].bottom() + gap);
    }
    for (int i = n - 1; i > 0; --i) {
        const int limit = i == n - 1 ? height() - gap : rows[i + 1].top() - gap;
        if (rows[i].bottom() > limit)
            rows[i].moveBottom(limit);
    }
    for (int i = 0; i < n; ++i)
        stack[i]->setGeometry(rows[i]);
}
