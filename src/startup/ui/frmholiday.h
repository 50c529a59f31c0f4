#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The notice window of the daylight-saving check.
class FrmHoliday : public QDialog
{
    Q_OBJECT

public:
    explicit FrmHoliday(QWidget *parent = nullptr);
    void setNotice(const QString &text);

private:
    QLabel *Label1 = nullptr;
    QPushButton *cmdOK = nullptr;

    void cmdOK_Click();
};
