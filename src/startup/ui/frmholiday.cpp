#include "frmholiday.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FrmHoliday::FrmHoliday(QWidget *parent)
    : QDialog(parent)
    , Label1(new QLabel(this))
    , cmdOK(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmHoliday"));
    setWindowTitle(QStringLiteral("HOLIDAY NOTICE"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    QFont big = Label1->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    Label1->setFont(big);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(cmdOK, 0, Qt::AlignHCenter);
    connect(cmdOK, &QPushButton::clicked, this, &FrmHoliday::cmdOK_Click);
    resize(420, 200);
}

void FrmHoliday::cmdOK_Click()
{
    accept();
}

void FrmHoliday::setNotice(const QString &text)
{
    Label1->setText(text);
}
