#pragma once

#include <QGroupBox>

class Announcer;
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

// A one-line label whose text, when wider than the label, is drawn in a smaller font (down
// to two thirds of its own) and, when even that is too wide, cut short with an ellipsis and
// given whole as its tooltip; text() stays the whole text.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The font the text is drawn in.
    QFont fittedFont() const;
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();
};

// The NET INFO column: the check-in box, the status line, the counters, tonight's net
// control and the net manager.
class NetInfoFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit NetInfoFrame(QWidget *parent = nullptr);

    // CALLSIGN, where calls are typed (the help and the window's keys hook into it).
    QLineEdit *callsignBox() const { return txtChkin; }
    QWidget *changeButton() const;
    QString typedCall() const;
    void clearTypedCall();
    void focusCallsign();

    void showStatus(const QString &text);
    // The status line on yellow while journal lines wait to be written.
    void markStatus(bool failing);
    // The counters, read by a screen reader as "CHECK INS, 12" and "TRAFFIC, 3".
    void showCheckins(int count);
    void showTraffic(const QString &caption, int count);
    // Tonight's net control and manager; an alternate is marked as such, and CHANGE shows a
    // choice made during the net.
    void showNetControl(const QString &text);
    void showNetManager(const QString &text);
    void showNetControlRole(bool alternate, bool changedTonight);
    QString netControlHeading() const;
    // Tells a screen reader without showing anything; the caret stays in CALLSIGN.
    void announce(const QString &text);

    // Places the four NET INFO labels lower, for the smallest screens.
    void setSmallScreen(bool small) { m_smallScreen = small; }
    // Places the rows again, e.g. after a font change.
    void arrange();

signals:
    // Enter in CALLSIGN.
    void callEntered(const QString &call);
    // A press on TRAFFIC, with its button.
    void trafficPressed(Qt::MouseButton button);
    void changeClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void keepApart();
    bool m_smallScreen = false;

    QLabel *lblCallSign;
    QLineEdit *txtChkin;
    QLabel *lblStatus;
    QLabel *lblChkins;
    QLabel *Label6;
    PressLabel *lblTraffic;
    QLabel *Label1;
    QLabel *Label4;
    ElidingLabel *lblNetCtl;
    QLabel *Label2;
    ElidingLabel *lblNetMgr;
    QPushButton *CmdChange;
    Announcer *announcer;
};
