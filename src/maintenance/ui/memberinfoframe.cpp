#include "memberinfoframe.h"

#include "platform/named.h"
#include "platform/ui/blockcaret.h"
#include "platform/ui/keyfilter.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

MemberInfoFrame::MemberInfoFrame(QWidget *parent)
    : QGroupBox(QStringLiteral("MEMBER INFO"), parent)
{
    setObjectName(QStringLiteral("fraAdd"));
    lblMode = Named(new QLabel(this), "lblMode");
    TxtNew = Named(new QLineEdit(this), "TxtNew");
    LblNew = Named(new QLabel(QStringLiteral("NEW CALL"), this), "LblNew");
    txtCall = Named(new QLineEdit(this), "txtCall");
    lblCall = Named(new QLabel(QStringLiteral("CALL"), this), "lblCall");
    txtName = Named(new QLineEdit(this), "txtName");
    lblName = Named(new QLabel(QStringLiteral("NAME"), this), "lblName");
    txtCounty = Named(new QLineEdit(this), "txtCounty");
    lblCounty = Named(new QLabel(QStringLiteral("COUNTY"), this), "lblCounty");
    txtStatus = Named(new QLineEdit(this), "txtStatus");
    lblStatus1 = Named(new QLabel(QStringLiteral("STATUS"), this), "lblStatus1");
    txtCS = Named(new QLineEdit(this), "txtCS");
    lblCS = Named(new QLabel(QStringLiteral("CITY"), this), "lblCS");
    cmdSave = Named(new QPushButton(QStringLiteral("&Save"), this), "cmdSave");
    cmdCancel = Named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    lblIDTime = Named(new QLabel(QStringLiteral("ID TIME"), this), "lblIDTime");
    lblIDTime->setAlignment(Qt::AlignCenter);
    lblIDTime->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    lblIDTime->hide();
    TxtNew->hide();
    LblNew->hide();
    // Screen readers name each box by the caption beside it.
    LblNew->setBuddy(TxtNew);
    lblCall->setBuddy(txtCall);
    lblName->setBuddy(txtName);
    lblCounty->setBuddy(txtCounty);
    lblStatus1->setBuddy(txtStatus);
    lblCS->setBuddy(txtCS);

    for (QLineEdit *box : { txtCall, TxtNew, txtName, txtCounty, txtStatus, txtCS })
        GiveBlockCaret(box);
    InstallKeyFilter(txtCall, FieldKind::Call);
    InstallKeyFilter(TxtNew, FieldKind::Call);
    for (QLineEdit *box : { txtName, txtCounty, txtStatus, txtCS })
        InstallKeyFilter(box, FieldKind::Text);
    // Boxes no wider than their record fields.
    txtCall->setMaxLength(6);
    TxtNew->setMaxLength(6);
    txtName->setMaxLength(15);
    txtCounty->setMaxLength(15);
    txtStatus->setMaxLength(11);
    txtCS->setMaxLength(25);
    // Tab walks the form in the order it is filled in, as Enter does.
    QWidget *order[]
        = { txtCall, TxtNew, txtName, txtCounty, txtStatus, txtCS, cmdSave, cmdCancel };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MemberInfoFrame::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    arrange();
}

namespace {

constexpr int CallFieldWidth = 6;

// The width at which a box shows that many of its widest letters.
int WholeTextWidth(const QLineEdit *box, int letters)
{
    const QMargins margins = box->textMargins();
    return box->fontMetrics().horizontalAdvance(QString(letters, u'W')) + margins.left()
        + margins.right() + 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
}

} // namespace

void MemberInfoFrame::arrange()
{
    const double W = width();
    const double H = height();
    const int rowHeight = int(H * 0.0573);
    lblMode->setGeometry(int(W * 0.0565), int(H * 0.08), int(W * 0.6257), int(H * 0.0764));
    const int idWidth = int(W * 0.9195);
    lblIDTime->setGeometry(int((W - idWidth) / 2), int(H * 0.85), idWidth, int(H * 0.1082));

    struct Row
    {
        QLineEdit *box;
        QLabel *label;
        double top, boxWidth, labelWidth;
    };
    const Row rows[] = {
        { TxtNew, LblNew, 0.19, 0.25, 0.4295 },
        { txtCall, lblCall, 0.28, 0.25, 0.2546 },
        { txtName, lblName, 0.37, 0.3332, 0.2412 },
        { txtCounty, lblCounty, 0.465, 0.2898, 0.2898 },
        { txtStatus, lblStatus1, 0.56, 0.1932, 0.2898 },
        { txtCS, lblCS, 0.66, 0.5, 0.161 },
    };
    const int left = int(W * 0.0523);
    for (const Row &r : rows) {
        // A call box holds the longest call whole, however narrow the frame.
        const int boxWidth = r.box->maxLength() > CallFieldWidth
            ? int(W * r.boxWidth)
            : std::max(int(W * r.boxWidth), WholeTextWidth(r.box, r.box->maxLength()));
        r.box->setGeometry(left, int(H * r.top), boxWidth, rowHeight);
        // Each caption sits right of its box (the 600-twip gap measured from the box's width),
        // as wide as its text where the frame has room, in a smaller font where it has not.
        const int room = int(W) - (boxWidth + 40) - 4;
        QFont font = r.label->font();
        while (
            font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(r.label->text()) > room)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        if (font != r.label->font())
            r.label->setFont(font);
        const int textWidth = r.label->fontMetrics().horizontalAdvance(r.label->text()) + 2;
        r.label->setGeometry(boxWidth + 40, int(H * r.top),
            std::min(room, std::max(int(W * r.labelWidth), textWidth)), rowHeight);
    }
    const int buttonWidth = int(W * 0.1265) + 30;
    cmdSave->setGeometry(left, int(H * 0.76), buttonWidth, rowHeight);
    // Apart, however narrow the frame.
    cmdCancel->setGeometry(
        std::max(int(W * 0.3), left + buttonWidth + 6), int(H * 0.76), buttonWidth, rowHeight);
}

QList<QWidget *> MemberInfoFrame::tabStops() const
{
    return { txtCall, TxtNew, txtName, txtCounty, txtStatus, txtCS, cmdSave, cmdCancel };
}
