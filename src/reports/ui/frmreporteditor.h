#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Services;
struct StartupContext;

// "Report Editor": hand corrections of the stored totals and of the month's new-member list.
// Modal; works on the settings store only. A deletion is final at once, everything else
// waits for SAVE CHANGES.
class frmReportEditor : public QDialog
{
    Q_OBJECT

public:
    frmReportEditor(Services &services, StartupContext &context, QWidget *parent = nullptr);

private:
    void Form_Load();
    void txtTotal_Change();
    void txtAdd_Change();
    void cmdAdd_Click();
    void lstNewMember_Click();
    void cmdEdit_Click();
    void cmdMove_Click();
    void cmdDelete_Click();
    void CmdSave_Click();
    void cmdExit_Click();

    Services &m_services;
    StartupContext &m_context;
    bool m_editMode = false;

    QLabel *lblSessions, *lblcheckin, *LBLTraffic, *LBLNEW, *Label1;
    QLineEdit *txtSessions, *txtCheckins, *txtTraffic, *txtAdd;
    QListWidget *lstNewMember;
    QPushButton *cmdAdd, *cmdEdit, *cmdMove, *cmdDelete, *CmdSave, *cmdExit;
};
