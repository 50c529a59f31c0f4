#include "membereditor.h"

#include "memberops.h"
#include "newmemberlist.h"
#include "platform/services.h"
#include "session/memberline.h"
#include "session/retiredarchive.h"
#include "session/stationsearch.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"

#include <QFileInfo>

namespace {
QString fileError(const QString &detail)
{
    return QStringLiteral("RECORD NOT SAVED - FILE ERROR: ") + detail;
}
} // namespace

std::optional<QString> UnstorableField(const MemberFields &fields, bool changeCall)
{
    const struct
    {
        const QString &text;
        FieldKind kind;
        QString box;
    } boxes[] = {
        { fields.call, FieldKind::Call,
            changeCall ? QStringLiteral("NEW CALL") : QStringLiteral("CALL") },
        { fields.name, FieldKind::Text, QStringLiteral("NAME") },
        { fields.county, FieldKind::Text, QStringLiteral("COUNTY") },
        { fields.status, FieldKind::Text, QStringLiteral("STATUS") },
        { fields.city, FieldKind::Text, QStringLiteral("CITY") },
    };
    for (const auto &box : boxes) {
        if (!PassesKeyFilter(box.kind, box.text))
            return box.box + QStringLiteral(": ONLY LETTERS")
                + (box.kind == FieldKind::Call ? QStringLiteral(", DIGITS") : QString())
                + QStringLiteral(" AND BLANKS CAN BE STORED");
    }
    return std::nullopt;
}

MemberEditor::MemberEditor(NetSession &session, const CountyTable &table, SettingsStore &settings)
    : m_session(session)
    , m_table(table)
    , m_settings(settings)
{
}

void MemberEditor::startAdd()
{
    m_mode = FormMode::Add;
    m_target.reset();
}

Result<MemberFields> MemberEditor::startEdit(int record)
{
    const std::optional<MemberRef> member = m_session.member(record);
    if (!member)
        return Status::Error(QStringLiteral("ERROR! RECORD NOT FOUND!"));
    StationFile file(member->path);
    if (const Status opened = file.open(); !opened)
        return Status::Error(QStringLiteral("CANNOT READ ") + opened.error());
    const Result<StationRecord> held = file.readHolding(record, member->call);
    if (!held)
        return Status::Error(StationFile::ChangedByAnotherProgram());
    const StationRecord r = held->trimmed();
    m_mode = FormMode::Edit;
    m_target = member;
    return MemberFields { r.Call, r.Name, r.County, r.Status, r.City };
}

Result<QString> MemberEditor::startChangeCall(int record)
{
    const std::optional<MemberRef> member = m_session.member(record);
    if (!member)
        return Status::Error(QStringLiteral("You must select a call to change"));
    m_mode = FormMode::ChangeCall;
    m_target = member;
    return member->call;
}

void MemberEditor::cancel()
{
    end();
}

void MemberEditor::end()
{
    m_mode = FormMode::None;
    m_target.reset();
}

std::optional<QString> MemberEditor::existingElsewhere(
    const QString &call, const QString &path) const
{
    // One call, one station: a second record of it would never be found by a check-in.
    const StationSearch search = FindStation(m_table, call);
    if (!search.found)
        return std::nullopt;
    const QString county = search.found->record.County;
    if (search.found->path == path || county.isEmpty())
        return QStringLiteral("CALL ALREADY EXISTS");
    return QStringLiteral("CALL ALREADY EXISTS IN ") + county;
}

EditorOutcome MemberEditor::failed(const QString &text) const
{
    EditorOutcome out;
    out.status = text;
    out.sound = SoundName::Notify();
    out.failed = true;
    return out;
}

EditorOutcome MemberEditor::save(
    const MemberFields &fields, const QString &newCall, const QDate &today)
{
    switch (m_mode) {
    case FormMode::Add:
        return saveAdd(fields, today);
    case FormMode::Edit:
        return saveEdit(fields);
    case FormMode::ChangeCall:
        return saveChangeCall(newCall);
    case FormMode::None:
        break;
    }
    // Nothing was chosen to edit: there is no record to write.
    EditorOutcome out;
    out.status = QStringLiteral("ERROR! RECORD NOT FOUND!");
    return out;
}

EditorOutcome MemberEditor::saveAdd(const MemberFields &fields, const QDate &today)
{
    if (!IsValidCall(fields.call)) {
        EditorOutcome out;
        out.status = fields.call + QStringLiteral("  INVALID CALL");
        out.formDone = true;
        end();
        return out;
    }
    // The boxes keep their text: the operator corrects the one named and saves again.
    if (const auto problem = UnstorableField(fields, false))
        return failed(*problem);
    const QString path = m_table.CountyFilePath(fields.county);
    // A refused addition keeps the form as typed: the operator corrects the call or the
    // county and saves again, or cancels.
    if (const auto elsewhere = existingElsewhere(fields.call, path))
        return failed(*elsewhere);
    const StationRecord station { fields.call, fields.name, fields.county, fields.status,
        fields.city, QString() };
    const QString newMemberLine
        = fields.call + u' ' + fields.name + u' ' + fields.county + u' ' + fields.city;
    // The journal learns of the new member before the file does: a stop between the two
    // leaves a journal that says what to finish (the list, the check-in) or to forget.
    const bool wasAdded = m_session.memberAddedFlag;
    const SessionEvent intent = m_session.memberAdded(fields.call, newMemberLine);
    // The records read belong to the current county's list only when the station goes there.
    CurrentMembers otherCounty;
    const AddResult added = AddMemberRecord(path, station, today,
        path == m_session.currentCountyFile() ? m_session.currentMembers() : otherCounty);
    if (added.kind != AddResult::Added) {
        m_session.reportUndone(intent);
        m_session.memberAddedFlag = wasAdded;
    }
    EditorOutcome out;
    switch (added.kind) {
    case AddResult::AlreadyExists:
    case AddResult::FileFull:
        return failed(added.kind == AddResult::FileFull ? QStringLiteral("COUNTY FILE FULL")
                                                        : QStringLiteral("CALL ALREADY EXISTS"));
    case AddResult::WriteFailed:
        // The boxes keep what was typed, so nothing is lost and Save can be tried again.
        return failed(fileError(added.failure.error()));
    case AddResult::Added:
        break;
    }

    const Result<QString> logged = LogNewMember(m_settings, newMemberLine);
    const SessionOutcome checkin = m_session.checkInAdded(station, path, added.record);
    if (checkin.checkedIn) {
        out.countChanged = true;
        out.appendLine = checkin.checkinLine;
        out.appendCall = checkin.checkinCall;
        // In the county shown the line is that member's like the others: it can be
        // clicked, edited and deleted at once.
        if (path == m_session.currentCountyFile())
            out.appendRecord = added.record;
    }
    if (logged) {
        out.status = fields.call + QStringLiteral(" ADDED");
    } else {
        // The station is in the database; only the month's list of new members misses it.
        out.status = fields.call + QStringLiteral(" ADDED - NOT IN THE NEW MEMBER LIST: ")
            + logged.error();
        out.sound = SoundName::Notify();
    }
    out.formDone = true;
    end();
    return out;
}

EditorOutcome MemberEditor::restoreRetired(int id, const QDate &today)
{
    const std::optional<NetSession::Retired> retired = m_session.retired(id);
    if (!retired)
        return failed(QStringLiteral("NOTHING TO RESTORE"));
    EditorOutcome out = putBack(retired->path, retired->station, today);
    if (!out.failed)
        m_session.retiredRestored(id);
    return out;
}

EditorOutcome MemberEditor::restoreArchived(const ArchivedStation &archived, const QDate &today)
{
    const QString path = StationFilePathOf(m_table, archived.file);
    const QString call = archived.station.Call.trimmed();
    if (path.isEmpty())
        return failed(QStringLiteral("NO STATION FILE ") + archived.file + QStringLiteral(" - ")
            + call + QStringLiteral(" NOT RESTORED"));
    if (const std::optional<int> id = m_session.standingRetiredId(path, call))
        return restoreRetired(*id, today);
    EditorOutcome out = putBack(path, archived.station.trimmed(), today);
    if (!out.failed)
        m_session.archivedRestored(path, call);
    return out;
}

EditorOutcome MemberEditor::putBack(
    const QString &path, const StationRecord &station, const QDate &today)
{
    const QString call = station.Call;
    if (existingElsewhere(call, QString()))
        return failed(call + QStringLiteral(" IS IN THE DATABASE AGAIN - NOT RESTORED"));
    CurrentMembers otherCounty;
    const bool shown = path == m_session.currentCountyFile();
    const RecordChangeNote restoring(QStringLiteral("restore"));
    const AddResult added
        = AddMemberRecord(path, station, today, shown ? m_session.currentMembers() : otherCounty);
    switch (added.kind) {
    case AddResult::Added:
        break;
    case AddResult::AlreadyExists:
        return failed(call + QStringLiteral(" IS IN THE DATABASE AGAIN - NOT RESTORED"));
    case AddResult::FileFull:
        return failed(QStringLiteral("NO FREE RECORD IN ") + QFileInfo(path).fileName()
            + QStringLiteral(" - ") + call + QStringLiteral(" NOT RESTORED"));
    case AddResult::WriteFailed:
        return failed(fileError(added.failure.error()));
    }
    EditorOutcome out;
    out.status = call + QStringLiteral(" RESTORED");
    return out;
}

Status MemberEditor::finishInterruptedAdd(const SessionEvent &intent)
{
    const StationSearch search = FindStation(m_table, intent.call);
    if (!search.found) {
        // The stop came before the station reached its file: nothing was added.
        m_session.reportUndone(intent);
        return Status::Ok();
    }
    bool listed = false;
    for (int k = 0; k <= NewMemberList::OverflowKey && !listed;
         ++k) // every key LogNewMember may have used
        listed = m_settings.get(NewMemberList::Section(), NewMemberList::Key(k)) == intent.line;
    Status done;
    if (!listed) {
        if (const Result<QString> logged = LogNewMember(m_settings, intent.line); !logged)
            done = logged.status();
    }
    if (m_session.checkins().find(intent.call, CheckinTable::Last) == 0)
        (void)m_session.checkInAdded(
            search.found->record.trimmed(), search.found->path, search.found->recordNumber);
    return done;
}

EditorOutcome MemberEditor::saveEdit(const MemberFields &fields)
{
    if (!m_target || fields.call != m_target->call)
        return failed(QStringLiteral("ERROR! RECORD NOT FOUND!"));
    if (const auto problem = UnstorableField(fields, false))
        return failed(*problem);
    const Result<StationRecord> written = EditMemberRecord(m_target->path, m_target->record,
        StationRecord { fields.call, fields.name, fields.county, fields.status, fields.city, {} });
    if (!written)
        return failed(fileError(written.error()));
    m_session.memberEdited(m_target->path, m_target->record, *written);
    EditorOutcome out;
    out.status = QStringLiteral("RECORD UPDATED");
    if (m_target->path == m_session.currentCountyFile()) {
        m_session.currentMembers()[m_target->record - 1] = *written;
        out.lineRecord = m_target->record;
        out.lineText = BuildMemberLine(written->Call, written->Name, written->City);
        out.lineChecked = m_session.checkins().find(written->Call, CheckinTable::Last) > 0;
    }
    out.formDone = true;
    end();
    return out;
}

EditorOutcome MemberEditor::saveChangeCall(const QString &newCall)
{
    EditorOutcome out;
    if (!m_target || newCall.isEmpty()) {
        // Nothing names a station or a new call: nothing to write.
        out.formDone = true;
        end();
        return out;
    }
    if (!IsValidCall(newCall))
        return failed(newCall + QStringLiteral("  INVALID CALL"));
    // The NEW CALL box filters what is typed; a call that reaches here another way is held
    // to the same characters, or no later search would find the station.
    if (const auto problem = UnstorableField({ newCall, {}, {}, {}, {} }, true))
        return failed(*problem);
    if (const auto elsewhere = existingElsewhere(newCall, m_target->path))
        return failed(newCall + QStringLiteral(" - ") + *elsewhere);
    // A station of that call is counted tonight already (one deleted since, say): the
    // renamed station would stand in the table twice.
    if (m_session.checkins().find(newCall, CheckinTable::Last) > 0)
        return failed(newCall + QStringLiteral(" IS CHECKED IN ALREADY - CALL NOT CHANGED"));
    const MemberRef old = *m_target;
    // Journaled first, taken back if the file does not take it.
    const SessionEvent intent = m_session.callChangeIntent(old.call, newCall);
    const ChangeCallResult changed = ChangeMemberCall(old.path, old.record, old.call, newCall);
    if (changed.kind != ChangeCallResult::Changed)
        m_session.callChangeFailed(intent);
    if (changed.kind == ChangeCallResult::AlreadyExists)
        return failed(newCall + QStringLiteral(" - CALL ALREADY EXISTS"));
    if (changed.kind != ChangeCallResult::Changed)
        return failed(fileError(changed.failure.error()));
    m_session.memberLeft(old.call, newCall, true);
    if (old.path == m_session.currentCountyFile()) {
        m_session.currentMembers()[old.record - 1] = changed.record;
        out.lineRecord = old.record;
        out.lineText = BuildMemberLine(newCall, changed.record.Name, changed.record.City);
        out.lineChecked = m_session.checkins().find(newCall, CheckinTable::Last) > 0;
    }
    out.countChanged = true;
    out.status = old.call + QStringLiteral(" CHANGED TO ") + newCall;
    out.formDone = true;
    end();
    return out;
}

EditorOutcome MemberEditor::remove(int record, const QDate &today)
{
    const std::optional<MemberRef> member = m_session.member(record);
    if (!member)
        return failed(QStringLiteral("CHOOSE A COUNTY AND SELECT A MEMBER TO DELETE"));
    const StationRecord before = m_session.currentMembers().value(record - 1);
    if (const Status kept = m_session.keepRemoved(member->path, record, before, true, today); !kept)
        return failed(fileError(kept.error()));
    const DeleteResult deleted = DeleteMemberRecord(member->path, record, member->call, today);
    EditorOutcome out;
    switch (deleted.kind) {
    case DeleteResult::WriteFailed:
        return failed(fileError(deleted.failure.error()));
    case DeleteResult::NetControl:
        return failed(member->call + QStringLiteral(" IS A NET CONTROL - NOT DELETED"));
    case DeleteResult::NotFound:
        // The record holds another station now: nothing is written, the list is stale.
        return failed(QStringLiteral("RECORD NOT FOUND!"));
    case DeleteResult::Deleted:
        break;
    }
    m_session.stationRemoved(member->path, record, before, true);
    m_session.memberLeft(member->call);
    StationRecord vacant;
    vacant.Call = StationRecord::VacantMarker();
    m_session.currentMembers()[record - 1] = vacant;
    out.lineRecord = record;
    out.countChanged = true;
    out.status = QStringLiteral("RECORD DELETED");
    if (m_target && m_target->record == record)
        end();
    return out;
}
