#pragma once

#include <QWidget>

class NetShare;
class QDate;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
struct Services;

// Reports > Net Month...: every session of the month from every PC of the net, each once: by
// date with its net control, QNI, QTC and QTR; the totals; each net control's share; saved as
// CSV. Not modal.
class FrmNetMonth : public QWidget
{
    Q_OBJECT
public:
    FrmNetMonth(Services &services, NetShare &share, QWidget *parent = nullptr);

    // Reads the chosen month again from the net folder.
    void showMonth();

private:
    void cmdSaveCsv_Click();

    Services &m_services;
    NetShare &m_share;

    QComboBox *cboNetMonth;
    QTreeWidget *tblNetMonth;
    QLabel *lblNetMonthTotals;
    QLabel *lblNetMonthOwn; // this PC's share of the month, beside the net's
    QTreeWidget *tblNetControls;
    QPushButton *cmdSaveCsv;
    QPushButton *cmdClose;
};

// Fills a month chooser with the given number of months, today's first ("DECEMBER 2026"), each
// holding its first day.
void AddMonthChoices(QComboBox *box, const QDate &today, int months);
