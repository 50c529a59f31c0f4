#pragma once

#include "stationdb/stationrecord.h"

#include <QObject>
#include <optional>

class FrmMain;
class MemberInfoFrame;
class QLineEdit;
class QListWidgetItem;
class QWidget;

// The MEMBER INFO frame at work: adding, editing, deleting and changing the call of members
// of the county shown in the member list.
class MemberMaintenance : public QObject
{
    Q_OBJECT
public:
    explicit MemberMaintenance(FrmMain &main);

    void mnuEditEdit_Click();
    void mnuEditDelete_Click();
    void mnuChgCall_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    // Box events.
    void txtCall_GotFocus();
    void txtCall_Enter();
    void txtCall_LostFocus();
    void txtName_GotFocus();
    void txtCounty_Enter();
    void txtCounty_LostFocus();
    void txtStatus_GotFocus();
    void txtStatus_Enter();
    void TxtNew_GotFocus();
    void TxtNew_LostFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void saveAdd();
    void saveEdit();
    void saveChangeCall();
    void status(const QString &text);
    void notify();
    void upperCase(QLineEdit *box);
    bool countyCheck();
    // True when line is a selected member line of a county view; else says what to select.
    bool memberLineSelected(QListWidgetItem *line, const QString &what);
    // False, with the box named on the status line, when a field holds a character its
    // box does not take (pasted text, a lookup): it would be stored as something else.
    bool fieldsStorable(const StationRecord &record);
    void clearBoxes();
    void leaveChangeCallMode();
    void backToCheckin();
    void moveFocus(QWidget *box);

    FrmMain &m_main;
    MemberInfoFrame &m_frame;
    std::optional<StationRecord> m_editRecord;
    bool m_inFocusChange = false;
};
