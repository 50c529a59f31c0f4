#pragma once

#include <QGroupBox>
#include <QLabel>

class QLineEdit;
class QPushButton;

// A label that reports mouse presses with their button (the traffic counter).
class PressLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// The NET INFO column: the check-in box, the status line, the counters, tonight's net
// control and the net manager.
class NetInfoFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit NetInfoFrame(QWidget *parent = nullptr);

    QLabel *lblCallSign;
    QLineEdit *txtChkin;
    QLabel *lblStatus;
    QLabel *lblChkins;
    QLabel *Label6;
    PressLabel *lblTraffic;
    QLabel *Label1;
    QLabel *Label4;
    QLabel *lblNetCtl;
    QLabel *Label2;
    QLabel *lblNetMgr;
    QPushButton *CmdChange;

    // Places the four NET INFO labels lower, for the smallest screens.
    void setSmallScreen(bool small) { m_smallScreen = small; }
    // Places the rows again, e.g. after a font change.
    void arrange();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void keepApart();
    bool m_smallScreen = false;
};
