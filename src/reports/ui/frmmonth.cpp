#include "frmmonth.h"

#include "reports/reporttext.h"
#include "stationdb/textforms.h"

#include <QGridLayout>
#include <QPushButton>

frmMonth::frmMonth(ReportPeriod &period, QWidget *parent)
    : QDialog(parent)
    , m_period(period)
{
    setObjectName(QStringLiteral("frmMonth"));
    setWindowTitle(QStringLiteral("REPORT MONTH"));

    static const char16_t *const names[12] = { u"cmdJan", u"cmdFeb", u"cmdMar", u"cmdApr",
        u"cmdMay", u"cmdJun", u"cmdJul", u"cmdAug", u"cmdSep", u"cmdOct", u"cmdNov", u"cmdDec" };
    QPushButton **buttons[12] = { &cmdJan, &cmdFeb, &cmdMar, &cmdApr, &cmdMay, &cmdJun, &cmdJul,
        &cmdAug, &cmdSep, &cmdOct, &cmdNov, &cmdDec };
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < 12; ++i) {
        const int month = i + 1;
        auto *button = new QPushButton(u'&' + EnglishMonthName(month).toUpper(), this);
        button->setObjectName(QString::fromUtf16(names[i]));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, month] { cmdMonth_Click(month); });
        grid->addWidget(button, i / 3, i % 3);
        *buttons[i] = button;
    }
}

void frmMonth::cmdMonth_Click(int month)
{
    ChooseReportMonth(m_period, month);
    accept();
}
