#pragma once

#include "maintenance/membereditor.h"

#include <QObject>

class MaintenanceHost;
class MemberInfoFrame;
class QLineEdit;
class QWidget;

// The MEMBER INFO frame at work: a thin view over MemberEditor. It reads the boxes, asks the
// editor, and shows the answer in the frame and the main window's member list.
class MemberMaintenance : public QObject
{
    Q_OBJECT
public:
    MemberMaintenance(MaintenanceHost &host, MemberInfoFrame &frame);

    FormMode mode() const { return m_editor.mode(); }

signals:
    // A valid call typed into ADD's CALL, the box left with NAME or CITY still empty.
    void addCallTyped(const QString &call);

public:
    MemberEditor &editor() { return m_editor; }

    // A click on a non-listed call (the box takes the call unless a lookup fills the form).
    void startAdd(const QString &call, bool fillCall);
    // The caret goes where the form's mode wants it after a click in the member list.
    void focusAfterListClick();
    // What the boxes hold, and looked-up values put into some of them (FormBox flags); with
    // onlyEmpty a box the operator filled keeps its text.
    MemberFields formFields() const;
    enum FormBox { CallBox = 1, NameBox = 2, CountyBox = 4, CityBox = 8 };
    void fillForm(const MemberFields &values, int boxes, bool onlyEmpty);
    void focusBox(FormBox box);

    // Edit > Add Member: an empty form in ADD, the caret in CALL. Edit > Edit, Delete and
    // Change CallSign work on the selected member line.
    void addMember();
    void editSelectedMember();
    void deleteSelectedMember();
    void changeSelectedCall();
    // The county shown changes: a form working on a member of the old one ends.
    void countyChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const EditorOutcome &outcome);
    // Shows the whole form for a mode: every box, or the two calls of a call change.
    void showMode(FormMode mode);
    int selectedMember(const QString &what);
    void status(const QString &text);
    void notify();
    // The status line says why nothing was done, with the notify sound.
    void refuse(const QString &text);
    void upperCase(QLineEdit *box);
    bool countyCheck();
    void clearBoxes();
    void backToCheckin();
    void moveFocus(QWidget *box);

    MaintenanceHost &m_host;
    MemberInfoFrame &m_frame;
    MemberEditor m_editor;
    bool m_refusal = false; // the status line holds the form's last refusal
    bool m_inFocusChange = false;
    FormMode m_shownMode = FormMode::None; // the mode the form shows

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
};
