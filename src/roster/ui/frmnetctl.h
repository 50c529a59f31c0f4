#pragma once

#include <QDialog>

class Status;
struct Services;
struct StartupContext;
class RosterHost;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The roster of net controls, alternates and the net manager, and the choice of tonight's
// net control. Changes to the main window go through the RosterHost.
class FrmNetCtl : public QDialog
{
    Q_OBJECT

public:
    FrmNetCtl(
        Services &services, StartupContext &context, RosterHost &host, QWidget *parent = nullptr);

    // Set by the main window's menu entry before it shows the window; closing the window
    // then leaves the focus alone (and clears the flag) instead of returning it to the
    // check-in box.
    bool NetCtlFromMenu = false;

    void FillNetControlList();
    void FillAltNetControlList();

    bool altNCEditMode() const { return m_altNCEditMode; }

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildRosterLists();
    void buildManagerFrame();
    void buildNetControlFrame();
    void wire();
    void takeLine(const QString &line);
    bool todaysRegularLineTaken() const;
    bool stored(const Status &saved);

    Services &m_services;
    StartupContext &m_context;
    RosterHost &m_host;
    bool m_altNCEditMode = false;

    QGroupBox *Frame1 = nullptr;
    QListWidget *lst1 = nullptr;
    QGroupBox *fraAltNC = nullptr;
    QListWidget *lstAltNC = nullptr;
    QPushButton *cmdAddAltNC = nullptr;
    QPushButton *cmdEdit = nullptr;
    QMenu *mnuAltNC = nullptr;
    QAction *mnuEditEdit = nullptr;
    QAction *mnuEditDelete = nullptr;
    QGroupBox *FraNetMgr = nullptr;
    QLineEdit *TxtMgrName = nullptr;
    QLineEdit *TxtMgrCall = nullptr;
    QPushButton *cmdChange = nullptr;
    QPushButton *CmdClrNM = nullptr;
    QGroupBox *FraNetCtl = nullptr;
    QLabel *lblDay = nullptr;
    QLineEdit *txtDay = nullptr;
    QLineEdit *TxtCtlName = nullptr;
    QLineEdit *TxtCtlCall = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdClrNC = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *txtInstr = nullptr;
    QPushButton *cmdClose = nullptr;

    void lst1_Click();
    void lstAltNC_Click();
    void txtDay_GotFocus();
    void txtDay_Enter();
    void TxtCtlName_Enter();
    void TxtCtlName_LostFocus();
    void TxtCtlCall_Enter();
    void TxtCtl_MouseDown();
    void TxtMgrName_LostFocus();
    void TxtMgrCall_LostFocus();
    void cmdAdd_Click();
    void cmdOK_Click();
    void cmdChange_Click();
    void cmdAddAltNC_Click();
    void mnuEditEdit_Click();
    void mnuEditDelete_Click();
    void cmdEdit_Click();
    void cmdClrNC_Click();
    void CmdClrNM_Click();
    void cmdClose_Click();
};
