#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

// The MEMBER INFO frame: the boxes of one station record and the mode it is in.
class MemberInfoFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit MemberInfoFrame(QWidget *parent = nullptr);

    // The boxes and buttons in their tab order.
    QList<QWidget *> tabStops() const;
    // ID TIME, which the ID reminder shows and blinks.
    QLabel *idTimeLabel() const { return lblIDTime; }

    // Places the rows again, e.g. after a font change.
    void arrange();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The form's behaviour is its controller's, which works the boxes directly.
    friend class MemberMaintenance;

    QLabel *lblMode;
    QLineEdit *TxtNew;
    QLabel *LblNew;
    QLineEdit *txtCall;
    QLabel *lblCall;
    QLineEdit *txtName;
    QLabel *lblName;
    QLineEdit *txtCounty;
    QLabel *lblCounty;
    QLineEdit *txtStatus;
    QLabel *lblStatus1;
    QLineEdit *txtCS;
    QLabel *lblCS;
    QPushButton *cmdSave;
    QPushButton *cmdCancel;
    QLabel *lblIDTime;
};
