#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct Services;
struct StartupContext;

// The QRZ login window: the operator's QRZ user id and password, kept in the settings store
// for the lookups of non-listed calls.
class FrmQrz : public QDialog
{
    Q_OBJECT
public:
    FrmQrz(Services &services, StartupContext &context, QWidget *parent = nullptr);

    // The notice the window shows.
    static QString Notice();
    // Options > Change QRZ Login: DO NOT ASK AGAIN is offered, cleared and stored so.
    void askOnEveryStart();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    bool save(const QString &key, const QString &value);

    Services &m_services;

    QGroupBox *fraQRZ;
    QLabel *LabelUserID;
    QLineEdit *txtUserID;
    QLabel *lblQRZPassword;
    QLineEdit *txtQrzPassWrd;
    QCheckBox *ChkRemoveLogin;
    QCheckBox *chkNoShow;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    QPlainTextEdit *TxtTitle;

    void cmdOK_Click();
    void cmdCancel_Click();
    void chkNoShow_Click();
    void txtQrzPassWrd_LostFocus();
};

// The start-up offer: the login window, when no login is stored and the operator has not
// asked never to see it again.
void OfferQrzLogin(Services &services, StartupContext &context, QWidget *parent);
// Options > Change QRZ Login: the choice "DO NOT ASK AGAIN" is cleared and the window shown.
void ChangeQrzLogin(Services &services, StartupContext &context, QWidget *parent);
