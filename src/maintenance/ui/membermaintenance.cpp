#include "membermaintenance.h"

#include "maintenancehost.h"
#include "memberinfoframe.h"
#include "platform/services.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <utility>

MemberMaintenance::MemberMaintenance(MaintenanceHost &host, MemberInfoFrame &frame)
    : QObject(&frame)
    , m_host(host)
    , m_frame(frame)
    , m_editor(host.hostSession(), host.hostCountyTable(), *host.hostServices().settings)
{
    for (QLineEdit *box : { m_frame.txtCall, m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus,
             m_frame.txtCS, m_frame.TxtNew })
        box->installEventFilter(this);
    for (QPushButton *button : { m_frame.cmdSave, m_frame.cmdCancel })
        button->installEventFilter(this);
    connect(m_frame.cmdSave, &QPushButton::clicked, this, &MemberMaintenance::cmdSave_Click);
    connect(m_frame.cmdCancel, &QPushButton::clicked, this, &MemberMaintenance::cmdCancel_Click);
}

bool MemberMaintenance::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched == m_frame.cmdSave || watched == m_frame.cmdCancel) {
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        // A blank typed on its way into a box must never press a button: Space does
        // nothing here, Enter presses.
        if (key->key() == Qt::Key_Space)
            return true;
        if (type == QEvent::KeyPress
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            static_cast<QPushButton *>(watched)->click();
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_frame.TxtNew && key->key() != Qt::Key_Backspace && !enter)
            m_frame.cmdCancel->setEnabled(true);
        if (!enter)
            return false;
        auto *box = static_cast<QLineEdit *>(watched);
        upperCase(box);
        if (box == m_frame.txtCall)
            txtCall_Enter();
        else if (box == m_frame.txtName)
            m_frame.txtCounty->setFocus();
        else if (box == m_frame.txtCounty)
            txtCounty_Enter();
        else if (box == m_frame.txtStatus)
            txtStatus_Enter();
        else if (box == m_frame.txtCS || box == m_frame.TxtNew)
            m_frame.cmdSave->setFocus();
        return true;
    }
    if (m_inFocusChange || (type != QEvent::FocusIn && type != QEvent::FocusOut))
        return false;
    m_inFocusChange = true;
    if (type == QEvent::FocusIn) {
        if (watched == m_frame.txtCall)
            txtCall_GotFocus();
        else if (watched == m_frame.txtName)
            txtName_GotFocus();
        else if (watched == m_frame.txtStatus)
            txtStatus_GotFocus();
        else if (watched == m_frame.TxtNew)
            TxtNew_GotFocus();
    } else {
        auto *box = static_cast<QLineEdit *>(watched);
        upperCase(box);
        if (box == m_frame.txtCall)
            txtCall_LostFocus();
        else if (box == m_frame.txtCounty)
            txtCounty_LostFocus();
        else if (box == m_frame.TxtNew)
            TxtNew_LostFocus();
    }
    m_inFocusChange = false;
    return false;
}

void MemberMaintenance::status(const QString &text)
{
    m_host.setStatusLine(text);
}

void MemberMaintenance::refuse(const QString &text)
{
    status(text);
    m_refusal = true;
    notify();
}

void MemberMaintenance::notify()
{
    m_host.hostServices().sounds->play(SoundName::Notify());
}

void MemberMaintenance::upperCase(QLineEdit *box)
{
    const QString upper = box->text().toUpper();
    if (upper != box->text())
        box->setText(upper);
}

void MemberMaintenance::moveFocus(QWidget *box)
{
    // While focus is moving away, a focus change made at once would be undone by the move
    // in progress: it is made as soon as that move has ended.
    if (m_inFocusChange)
        QMetaObject::invokeMethod(
            box, [box] { box->setFocus(); }, Qt::QueuedConnection);
    else
        box->setFocus();
}

void MemberMaintenance::backToCheckin()
{
    m_host.returnToCheckin();
}

void MemberMaintenance::txtCall_GotFocus()
{
    // In a call change the old call stays; the caret's way back empties the new one.
    if (m_editor.mode() == FormMode::ChangeCall) {
        TxtNew_GotFocus();
        return;
    }
    // An edit keeps its call: a new call is Change CallSign's work.
    if (m_editor.mode() != FormMode::Edit)
        m_frame.txtCall->clear();
}

void MemberMaintenance::txtCall_Enter()
{
    if (m_frame.TxtNew->isVisible())
        m_frame.TxtNew->setFocus();
    else
        m_frame.txtName->setFocus();
}

void MemberMaintenance::txtCall_LostFocus()
{
    const QString call = m_frame.txtCall->text();
    // An empty box is left alone, so the operator can always get back to CALLSIGN.
    if (call.isEmpty())
        return;
    if (IsValidCall(call)) {
        if (m_editor.mode() == FormMode::Add
            && (m_frame.txtName->text().isEmpty() || m_frame.txtCS->text().isEmpty()))
            emit addCallTyped(call);
        return;
    }
    status(call + QStringLiteral("  INVALID CALL"));
    m_frame.txtCall->clear();
    notify();
    moveFocus(m_frame.txtCall);
}

void MemberMaintenance::txtName_GotFocus()
{
    // An edit keeps what the record holds, an add what its lookup found: the operator
    // changes only what is wrong.
    if (m_editor.mode() != FormMode::Edit && m_editor.mode() != FormMode::Add)
        m_frame.txtName->clear();
    m_frame.cmdCancel->setEnabled(true);
}

bool MemberMaintenance::countyCheck()
{
    const QString county = m_frame.txtCounty->text();
    if (m_host.hostCountyTable().displayPosition(county) > 0)
        return true;
    notify();
    m_frame.txtCounty->clear();
    moveFocus(m_frame.txtCounty);
    return false;
}

void MemberMaintenance::txtCounty_Enter()
{
    if (countyCheck())
        m_frame.txtStatus->setFocus();
}

void MemberMaintenance::txtCounty_LostFocus()
{
    // An empty box is left alone: Save asks for the county, and the operator must be free
    // to leave the frame (Cancel) without being called back.
    if (m_frame.txtCounty->text().isEmpty())
        return;
    // The caret never jumps over STATUS when it goes there.
    if (countyCheck() && m_frame.txtCS->text().isEmpty()
        && QApplication::focusWidget() != m_frame.txtStatus)
        moveFocus(m_frame.txtCS);
}

void MemberMaintenance::txtStatus_GotFocus()
{
    if (m_editor.mode() != FormMode::Edit)
        m_frame.txtStatus->clear();
}

void MemberMaintenance::txtStatus_Enter()
{
    if (m_frame.txtCS->isVisible())
        m_frame.txtCS->setFocus();
}

void MemberMaintenance::TxtNew_GotFocus()
{
    m_frame.TxtNew->clear();
}

void MemberMaintenance::TxtNew_LostFocus()
{
    const QString call = m_frame.TxtNew->text();
    if (call.isEmpty() || IsValidCall(call))
        return;
    status(call + QStringLiteral("  INVALID CALL"));
    m_frame.TxtNew->clear();
    notify();
    moveFocus(m_frame.txtCall);
}

void MemberMaintenance::showMode(FormMode mode)
{
    // A form that opens takes away the refusal of one that could not.
    if (mode == FormMode::Edit || mode == FormMode::ChangeCall) {
        if (std::exchange(m_refusal, false))
            status(QString());
    }
    m_shownMode = mode;
    const bool changeCall = mode == FormMode::ChangeCall;
    for (QWidget *w :
        std::initializer_list<QWidget *> { m_frame.lblName, m_frame.lblCounty, m_frame.lblStatus1,
            m_frame.lblCS, m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus, m_frame.txtCS })
        w->setVisible(!changeCall);
    m_frame.TxtNew->setVisible(changeCall);
    m_frame.LblNew->setVisible(changeCall);
    m_frame.txtCall->setEnabled(true);
    m_frame.lblCall->setText(changeCall ? QStringLiteral("OLD CALL") : QStringLiteral("CALL"));
    switch (mode) {
    case FormMode::None:
        m_frame.lblMode->clear();
        break;
    case FormMode::Add:
        m_frame.lblMode->setText(QStringLiteral("ADD"));
        break;
    case FormMode::Edit:
        m_frame.lblMode->setText(QStringLiteral("EDIT"));
        break;
    case FormMode::ChangeCall:
        m_frame.lblMode->setText(QStringLiteral("CHANGE CALL"));
        break;
    }
}

void MemberMaintenance::clearBoxes()
{
    for (QLineEdit *box : { m_frame.txtCall, m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus,
             m_frame.txtCS, m_frame.TxtNew })
        box->clear();
}

void MemberMaintenance::show(const EditorOutcome &outcome)
{
    if (outcome.lineRecord > 0) {
        if (QListWidgetItem *line = m_host.lineOfRecord(outcome.lineRecord)) {
            if (outcome.lineText.isEmpty()) {
                delete line;
            } else {
                line->setText(outcome.lineText);
                line->setCheckState(outcome.lineChecked ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    if (!outcome.appendLine.isEmpty())
        m_host.appendLine(outcome.appendLine, outcome.appendRecord, outcome.appendCall);
    else if (outcome.lineRecord > 0)
        m_host.memberListChanged();
    if (outcome.countChanged)
        m_host.showCounters();
    if (outcome.status)
        status(*outcome.status);
    if (!outcome.sound.isEmpty())
        m_host.hostServices().sounds->play(outcome.sound);
    if (outcome.formDone) {
        clearBoxes();
        showMode(FormMode::None);
        backToCheckin();
    }
}

int MemberMaintenance::selectedMember(const QString &what)
{
    QListWidgetItem *line = m_host.selectedLine();
    const int record = line ? m_host.recordOf(line) : 0;
    if (record > 0 && m_host.hostSession().member(record))
        return record;
    // Check-in lines are no member lines: nothing of them may reach a station record.
    refuse(QStringLiteral("CHOOSE A COUNTY AND SELECT A MEMBER TO ") + what);
    return 0;
}

void MemberMaintenance::startAdd(const QString &call, bool fillCall)
{
    m_editor.startAdd();
    showMode(FormMode::Add);
    if (fillCall) {
        clearBoxes();
        m_frame.txtCall->setText(call);
        m_frame.txtName->setFocus();
    }
}

MemberFields MemberMaintenance::formFields() const
{
    return { m_frame.txtCall->text(), m_frame.txtName->text(), m_frame.txtCounty->text(),
        m_frame.txtStatus->text(), m_frame.txtCS->text() };
}

void MemberMaintenance::fillForm(const MemberFields &values, int boxes, bool onlyEmpty)
{
    const auto fill = [boxes, onlyEmpty](int which, QLineEdit *box, const QString &value) {
        if ((boxes & which) && (!onlyEmpty || box->text().isEmpty()))
            box->setText(value);
    };
    fill(CallBox, m_frame.txtCall, values.call);
    fill(NameBox, m_frame.txtName, values.name);
    fill(CountyBox, m_frame.txtCounty, values.county);
    fill(CityBox, m_frame.txtCS, values.city);
}

void MemberMaintenance::focusBox(FormBox box)
{
    QLineEdit *const target = box == CallBox ? m_frame.txtCall
        : box == NameBox                     ? m_frame.txtName
        : box == CountyBox                   ? m_frame.txtCounty
                                             : m_frame.txtCS;
    target->setFocus();
}

void MemberMaintenance::focusAfterListClick()
{
    if (m_editor.mode() == FormMode::ChangeCall)
        m_frame.TxtNew->setFocus();
    else
        backToCheckin();
}

void MemberMaintenance::editSelectedMember()
{
    const int record = selectedMember(QStringLiteral("EDIT"));
    if (record == 0)
        return;
    const Result<MemberFields> fields = m_editor.startEdit(record);
    if (!fields) {
        refuse(fields.error());
        return;
    }
    showMode(FormMode::Edit);
    m_frame.cmdCancel->setEnabled(true);
    m_frame.txtCall->setText(fields->call);
    m_frame.txtName->setText(fields->name);
    m_frame.txtCounty->setText(fields->county);
    m_frame.txtStatus->setText(fields->status);
    m_frame.txtCS->setText(fields->city);
}

void MemberMaintenance::addMember()
{
    m_editor.startAdd();
    clearBoxes();
    showMode(FormMode::Add);
    m_frame.cmdCancel->setEnabled(true);
    m_frame.txtCall->setFocus();
}

void MemberMaintenance::cmdSave_Click()
{
    // A form filled in by hand, with no mode chosen, is a new member.
    if (m_editor.mode() == FormMode::None && !m_frame.txtCall->text().isEmpty()) {
        m_editor.startAdd();
        showMode(FormMode::Add);
    }
    for (QLineEdit *box : { m_frame.txtCall, m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus,
             m_frame.txtCS, m_frame.TxtNew })
        upperCase(box);
    if (m_editor.mode() == FormMode::Add || m_editor.mode() == FormMode::Edit) {
        if (m_frame.txtCounty->text().isEmpty()) {
            m_frame.txtCounty->setFocus();
            return;
        }
        // Save checks the boxes itself: Alt+S saves from whichever box has the caret, and
        // that box has not been checked on leaving it.
        if (!countyCheck())
            return;
    }
    const MemberFields fields { m_frame.txtCall->text(), m_frame.txtName->text(),
        m_frame.txtCounty->text(), m_frame.txtStatus->text(), m_frame.txtCS->text() };
    show(m_editor.save(fields, m_frame.TxtNew->text(), m_host.hostServices().clock->today()));
}

void MemberMaintenance::cmdCancel_Click()
{
    // Every way out leaves the whole form in view, whatever mode it was in.
    m_editor.cancel();
    clearBoxes();
    showMode(FormMode::None);
    backToCheckin();
}

void MemberMaintenance::countyChanged()
{
    if (m_editor.mode() == FormMode::Edit || m_editor.mode() == FormMode::ChangeCall)
        cmdCancel_Click();
}

void MemberMaintenance::deleteSelectedMember()
{
    const int record = selectedMember(QStringLiteral("DELETE"));
    if (record == 0)
        return;
    const std::optional<MemberRef> member = m_host.hostSession().member(record);
    QListWidgetItem *line = m_host.selectedLine();
    const QString text = line->text();
    const QString name = text.mid(10).section(u' ', 0, 0);
    m_frame.txtName->clear();
    Services &services = m_host.hostServices();
    const MsgButton answer = services.dialogs->message(m_host.hostWindow(),
        QStringLiteral("REMOVING RECORD FROM THE DATABASE"),
        QStringLiteral("REALLY REMOVE ") + member->call + u' ' + name
            + QStringLiteral(" FROM THE DATABASE?"),
        MsgIcon::Question, Yes | No, No);
    if (answer != Yes)
        return;
    show(m_editor.remove(record, services.clock->today()));
    if (m_editor.mode() == FormMode::None && m_shownMode != FormMode::None) {
        clearBoxes();
        showMode(FormMode::None);
    }
    backToCheckin();
}

void MemberMaintenance::changeSelectedCall()
{
    m_host.setRosterMenuEnabled(true);
    QListWidgetItem *line = m_host.selectedLine();
    if (!line) {
        refuse(QStringLiteral("You must select a call to change"));
        return;
    }
    const int record = selectedMember(QStringLiteral("CHANGE"));
    if (record == 0)
        return;
    const Result<QString> oldCall = m_editor.startChangeCall(record);
    if (!oldCall) {
        refuse(oldCall.error());
        return;
    }
    clearBoxes();
    showMode(FormMode::ChangeCall);
    m_frame.txtCall->setText(*oldCall);
    m_frame.TxtNew->setFocus();
}
