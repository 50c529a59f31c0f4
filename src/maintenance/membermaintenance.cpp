#include "membermaintenance.h"

#include "memberinfoframe.h"
#include "memberops.h"
#include "platform/services.h"
#include "session/frmmain.h"
#include "session/memberline.h"
#include "startup/startupcontext.h"
#include "stationdb/callsign.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
QString fileError(const QString &detail)
{
    return QStringLiteral("RECORD NOT SAVED - FILE ERROR: ") + detail;
}
} // namespace

MemberMaintenance::MemberMaintenance(FrmMain &main)
    : QObject(&main), m_main(main), m_frame(*main.fraAdd)
{
    for (QLineEdit *box : { m_frame.txtCall, m_frame.txtName, m_frame.txtCounty,
                            m_frame.txtStatus, m_frame.txtCS, m_frame.TxtNew })
        box->installEventFilter(this);
    connect(m_frame.cmdSave, &QPushButton::clicked, this, &MemberMaintenance::cmdSave_Click);
    connect(m_frame.cmdCancel, &QPushButton::clicked, this, &MemberMaintenance::cmdCancel_Click);
    connect(main.mnuEditEdit, &QAction::triggered, this, &MemberMaintenance::mnuEditEdit_Click);
    connect(main.mnuEditDelete, &QAction::triggered, this, &MemberMaintenance::mnuEditDelete_Click);
    connect(main.mnuChgCall, &QAction::triggered, this, &MemberMaintenance::mnuChgCall_Click);
    main.mnuChgCall->setEnabled(true);
}

bool MemberMaintenance::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
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
        else if (box == m_frame.txtCS)
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
    m_main.lblStatus()->setText(text);
}

void MemberMaintenance::notify()
{
    m_main.services().sounds->play(SoundName::Notify());
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
        QMetaObject::invokeMethod(box, [box] { box->setFocus(); }, Qt::QueuedConnection);
    else
        box->setFocus();
}

void MemberMaintenance::backToCheckin()
{
    m_main.Change_Caret();
}

void MemberMaintenance::txtCall_GotFocus()
{
    if (m_main.ChangeCallFlag) {
        m_main.ChangeCallFlag = false;
        TxtNew_GotFocus();
        return;
    }
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
    if (call.isEmpty() || IsValidCall(call))
        return;
    status(call + QStringLiteral("  INVALID CALL"));
    m_frame.txtCall->clear();
    notify();
    moveFocus(m_frame.txtCall);
}

void MemberMaintenance::txtName_GotFocus()
{
    m_frame.txtName->clear();
    m_frame.cmdCancel->setEnabled(true);
}

bool MemberMaintenance::countyCheck()
{
    const QString county = m_frame.txtCounty->text();
    if (m_main.context().countyTable.displayPosition(county) > 0)
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
    if (countyCheck() && m_frame.txtCS->text().isEmpty())
        moveFocus(m_frame.txtCS);
}

void MemberMaintenance::txtStatus_GotFocus()
{
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

void MemberMaintenance::mnuEditEdit_Click()
{
    QListWidgetItem *line = m_main.lst1->currentItem();
    if (!line || !line->isSelected())
        return;
    for (QWidget *w : std::initializer_list<QWidget *> { m_frame.lblName, m_frame.lblStatus1,
                                                         m_frame.lblCounty, m_frame.lblCS,
                                                         m_frame.txtStatus, m_frame.txtCounty,
                                                         m_frame.txtCS })
        w->show();
    m_frame.lblCall->setText(QStringLiteral("CALL"));
    m_frame.LblNew->hide();
    m_frame.lblMode->setText(QStringLiteral("EDIT"));
    m_frame.cmdCancel->show();
    m_frame.cmdCancel->setEnabled(true);

    m_frame.txtCall->setText(ParseMemberLine(line->text()).call);
    StationFile file(m_main.session().currentCountyFile());
    if (const Status opened = file.open(); !opened) {
        status(QStringLiteral("CANNOT READ ") + opened.error());
        notify();
        return;
    }
    for (int n = 1; n <= RecordsPerFile; ++n) {
        const StationRecord r = file.read(n).trimmed();
        if (r.Call != m_frame.txtCall->text())
            continue;
        m_frame.txtName->setText(r.Name);
        m_frame.txtCounty->setText(r.County);
        m_frame.txtStatus->setText(r.Status);
        m_frame.txtCS->setText(r.City);
        m_editRecord = r;
        break;
    }
}

void MemberMaintenance::cmdSave_Click()
{
    if (m_frame.txtCounty->text().isEmpty()) {
        if (m_main.ChangeCallFlag)
            saveChangeCall();
        else
            m_frame.txtCounty->setFocus();
        return;
    }
    if (m_main.MemberFormMode != 1)
        saveEdit();
    else
        saveAdd();
}

void MemberMaintenance::saveEdit()
{
    // Without a preceding Edit there is no record to keep the date of, nor a line to
    // replace: nothing is written.
    CurrentMembers &members = m_main.session().currentMembers();
    int i = -1;
    for (int n = 0; n < RecordsPerFile && n < members.size(); ++n) {
        if (members[n].Call == m_frame.txtCall->text()) {
            i = n;
            break;
        }
    }
    if (i < 0 || !m_editRecord || m_editRecord->Call != m_frame.txtCall->text()) {
        status(QStringLiteral("ERROR! RECORD NOT FOUND!"));
        return;
    }
    StationRecord record;
    record.Call = m_frame.txtCall->text();
    record.Name = m_frame.txtName->text();
    record.County = m_frame.txtCounty->text();
    record.Status = m_frame.txtStatus->text();
    record.City = m_frame.txtCS->text();
    record.LastDate = m_editRecord->LastDate;
    if (!fieldsStorable(record))
        return;
    const Status written = ReplaceStationRecord(m_main.session().currentCountyFile(), i + 1,
                                                m_editRecord->Call, record);
    if (!written) {
        status(fileError(written.error()));
        notify();
        return;
    }
    members[i] = record.trimmed();
    status(QStringLiteral("RECORD UPDATED"));
    // The edited station's own line, wherever the selection has moved since Edit.
    for (int row = 0; row < m_main.lst1->count(); ++row) {
        QListWidgetItem *line = m_main.lst1->item(row);
        if (ParseMemberLine(line->text()).call != record.Call)
            continue;
        const Qt::CheckState mark = line->checkState();
        line->setText(BuildMemberLine(record.Call, record.Name, record.City));
        line->setCheckState(mark);
        break;
    }
    m_editRecord.reset();
    backToCheckin();
    m_frame.lblMode->clear();
    clearBoxes();
}

void MemberMaintenance::saveAdd()
{
    const QString call = m_frame.txtCall->text();
    auto finish = [this] {
        clearBoxes();
        m_main.MemberFormMode = 0;
        backToCheckin();
        m_frame.lblMode->clear();
    };
    if (!IsValidCall(call)) {
        status(call + QStringLiteral("  INVALID CALL"));
        finish();
        return;
    }
    StationRecord station;
    station.Call = call;
    station.Name = m_frame.txtName->text();
    station.County = m_frame.txtCounty->text();
    station.Status = m_frame.txtStatus->text();
    station.City = m_frame.txtCS->text();
    // The boxes keep their text: the operator corrects the one named and saves again.
    if (!fieldsStorable(station))
        return;

    NetSession &session = m_main.session();
    const QString path = m_main.context().countyTable.CountyFilePath(station.County);
    // The records read belong to the current county's list only when the station goes there.
    CurrentMembers otherCounty;
    const AddResult added = AddMemberRecord(
        path, station, m_main.services().clock->today(),
        path == session.currentCountyFile() ? session.currentMembers() : otherCounty);
    switch (added.kind) {
    case AddResult::AlreadyExists:
        status(QStringLiteral("CALL ALREADY EXISTS"));
        notify();
        finish();
        return;
    case AddResult::FileFull:
        status(QStringLiteral("COUNTY FILE FULL"));
        notify();
        finish();
        return;
    case AddResult::WriteFailed:
        // The boxes keep what was typed, so nothing is lost and Save can be tried again.
        status(fileError(added.error));
        notify();
        return;
    case AddResult::Added:
        break;
    }

    const SessionOutcome checkin = session.checkInAdded(call);
    if (checkin.checkedIn) {
        m_main.showOutcome(checkin);
        m_main.lst1->addItem(station.Call + u' ' + station.Name + u' ' + station.City);
    }
    const Result<QString> logged =
        LogNewMember(*m_main.services().settings, station.Call + u' ' + station.Name + u' '
                         + station.County + u' ' + station.City);
    if (logged) {
        status(call + QStringLiteral(" ADDED"));
    } else {
        // The station is in the database; only the month's list of new members misses it.
        status(call + QStringLiteral(" ADDED - NOT IN THE NEW MEMBER LIST: ") + logged.error());
        notify();
    }
    session.memberAddedFlag = true;
    finish();
}

void MemberMaintenance::saveChangeCall()
{
    NetSession &session = m_main.session();
    CurrentMembers &members = session.currentMembers();
    const QString oldCall = m_frame.txtCall->text();
    const QString newCall = m_frame.TxtNew->text();
    if (oldCall.isEmpty() || newCall.isEmpty()) {
        // Nothing names a station to change: an empty old call would match a blank slot.
        leaveChangeCallMode();
        m_main.ChangeCallFlag = false;
        m_frame.lblMode->clear();
        backToCheckin();
        return;
    }
    if (!IsValidCall(newCall)) {
        status(newCall + QStringLiteral("  INVALID CALL"));
        notify();
        return;
    }
    int i = -1;
    for (int n = 0; n < RecordsPerFile && n < members.size(); ++n) {
        if (members[n].Call == oldCall) {
            i = n;
            break;
        }
    }
    if (i < 0) {
        status(QStringLiteral("ERROR! RECORD NOT FOUND!"));
        notify();
        return;
    }
    const ChangeCallResult changed =
        ChangeMemberCall(session.currentCountyFile(), i + 1, oldCall, newCall);
    if (changed.kind == ChangeCallResult::AlreadyExists) {
        status(newCall + QStringLiteral(" - CALL ALREADY EXISTS"));
        notify();
        return;
    }
    if (changed.kind != ChangeCallResult::Changed) {
        status(fileError(changed.error));
        notify();
        return;
    }
    members[i] = changed.record;
    session.memberLeft(oldCall, newCall);
    for (int row = 0; row < m_main.lst1->count(); ++row) {
        QListWidgetItem *line = m_main.lst1->item(row);
        if (ParseMemberLine(line->text()).call != oldCall)
            continue;
        line->setText(BuildMemberLine(newCall, changed.record.Name, changed.record.City));
        line->setCheckState(session.checkins().find(newCall, CheckinTable::Last) > 0 ? Qt::Checked
                                                                                    : Qt::Unchecked);
        break;
    }
    leaveChangeCallMode();
    m_main.showOutcome(SessionOutcome {});
    status(oldCall + QStringLiteral(" CHANGED TO ") + newCall);
    m_main.ChangeCallFlag = false;
    backToCheckin();
    m_frame.lblMode->clear();
}

bool MemberMaintenance::fieldsStorable(const StationRecord &record)
{
    const struct
    {
        const QString &text;
        FieldKind kind;
        QString box;
    } fields[] = {
        { record.Call, FieldKind::Call, m_main.ChangeCallFlag ? QStringLiteral("NEW CALL") : QStringLiteral("CALL") },
        { record.Name, FieldKind::Text, QStringLiteral("NAME") },
        { record.County, FieldKind::Text, QStringLiteral("COUNTY") },
        { record.Status, FieldKind::Text, QStringLiteral("STATUS") },
        { record.City, FieldKind::Text, QStringLiteral("CITY") },
    };
    for (const auto &field : fields) {
        if (PassesKeyFilter(field.kind, field.text))
            continue;
        status(field.box + QStringLiteral(": ONLY LETTERS") + (field.kind == FieldKind::Call ? QStringLiteral(", DIGITS") : QString())
               + QStringLiteral(" AND BLANKS CAN BE STORED"));
        notify();
        return false;
    }
    return true;
}

void MemberMaintenance::leaveChangeCallMode()
{
    m_frame.TxtNew->hide();
    m_frame.TxtNew->clear();
    m_frame.LblNew->hide();
    m_frame.txtCall->setEnabled(true);
    m_frame.txtCall->clear();
    m_frame.lblCall->setText(QStringLiteral("CALL"));
    m_frame.lblCall->show();
    for (QLineEdit *box : { m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus, m_frame.txtCS }) {
        box->setEnabled(true);
        box->show();
        box->clear();
    }
    m_frame.lblName->show();
    m_frame.lblCounty->show();
    m_frame.lblStatus1->show();
    m_frame.lblCS->show();
}

void MemberMaintenance::clearBoxes()
{
    for (QLineEdit *box : { m_frame.txtCall, m_frame.txtName, m_frame.txtCounty, m_frame.txtStatus,
                            m_frame.txtCS })
        box->clear();
}

void MemberMaintenance::cmdCancel_Click()
{
    // Every way out leaves the whole form in view, whatever mode it was in.
    leaveChangeCallMode();
    m_main.ChangeCallFlag = false;
    m_main.MemberFormMode = 0;
    m_editRecord.reset();
    m_frame.lblMode->clear();
    backToCheckin();
}

bool MemberMaintenance::memberLineSelected(QListWidgetItem *line, const QString &what)
{
    if (line && line->isSelected() && !m_main.session().earlyLateMode())
        return true;
    // Check-in lines are not member lines: their text would be taken apart wrongly.
    status(QStringLiteral("CHOOSE A COUNTY AND SELECT A MEMBER TO ") + what);
    notify();
    return false;
}

void MemberMaintenance::mnuEditDelete_Click()
{
    QListWidgetItem *line = m_main.lst1->currentItem();
    if (!memberLineSelected(line, QStringLiteral("DELETE")))
        return;
    const ParsedMemberLine parsed = ParseMemberLine(line->text());
    const QString c = parsed.call;
    const QString m = parsed.firstWord;
    m_frame.txtName->clear();
    Services &services = m_main.services();
    const MsgButton answer = services.dialogs->message(
        &m_main, QStringLiteral("REMOVING RECORD FROM THE DATABASE"),
        QStringLiteral("REALLY REMOVE ") + c + u' ' + m + QStringLiteral(" FROM THE DATABASE?"),
        MsgIcon::Question, Yes | No, No);
    if (answer != Yes)
        return;

    NetSession &session = m_main.session();
    const DeleteResult deleted =
        DeleteMemberRecord(session.currentCountyFile(), c, services.clock->today());
    switch (deleted.kind) {
    case DeleteResult::WriteFailed:
        status(fileError(deleted.error));
        notify();
        break;
    case DeleteResult::NetControl:
        status(c + QStringLiteral(" IS A NET CONTROL - NOT DELETED"));
        notify();
        break;
    case DeleteResult::Deleted:
        delete line;
        session.memberLeft(c);
        m_main.showOutcome(SessionOutcome {});
        session.currentMembers()[deleted.record - 1] = StationRecord { StationRecord::VacantMarker(), {}, {}, {}, {}, {} };
        status(QStringLiteral("\nRECORD DELETED"));
        break;
    case DeleteResult::NotFound:
        // The line named no station of the file: it goes, and nothing else changes.
        delete line;
        status(QStringLiteral("RECORD NOT FOUND!"));
        notify();
        break;
    }
    backToCheckin();
}

void MemberMaintenance::mnuChgCall_Click()
{
    m_main.mnuChgCtl->setEnabled(true);
    QListWidgetItem *line = m_main.lst1->currentItem();
    if (!line || !line->isSelected()) {
        status(QStringLiteral("You must select a call to change"));
        notify();
        return;
    }
    if (!memberLineSelected(line, QStringLiteral("CHANGE")))
        return;
    m_main.ChangeCallFlag = true;
    m_frame.lblMode->setText(QStringLiteral("CHANGE CALL"));
    for (QWidget *w : std::initializer_list<QWidget *> { m_frame.lblName, m_frame.lblCounty,
                                                         m_frame.lblStatus1, m_frame.lblCS,
                                                         m_frame.txtName, m_frame.txtCounty,
                                                         m_frame.txtStatus, m_frame.txtCS })
        w->hide();
    m_frame.txtCall->setEnabled(true);
    m_frame.TxtNew->show();
    m_frame.LblNew->show();
    m_frame.txtCall->setText(ParseMemberLine(line->text().trimmed()).call);
    m_frame.lblCall->setText(QStringLiteral("OLD CALL"));
    m_frame.TxtNew->setFocus();
}
