#pragma once

#include <QDialog>

class QPushButton;
struct ReportPeriod;

// "REPORT MONTH": twelve buttons; a click names the report's month and closes the window.
// Closing it any other way leaves the period as it was.
class frmMonth : public QDialog
{
    Q_OBJECT

public:
    explicit frmMonth(ReportPeriod &period, QWidget *parent = nullptr);

private:
    void cmdMonth_Click(int month);

    ReportPeriod &m_period;
    QPushButton *cmdJan, *cmdFeb, *cmdMar, *cmdApr, *cmdMay, *cmdJun;
    QPushButton *cmdJul, *cmdAug, *cmdSep, *cmdOct, *cmdNov, *cmdDec;
};
