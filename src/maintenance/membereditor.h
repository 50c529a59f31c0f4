#pragma once

#include "session/netsession.h"
#include "stationdb/result.h"

#include <QDate>
#include <QString>
#include <optional>

struct ArchivedStation;
class CountyTable;
class SettingsStore;

// What the member form is doing.
enum class FormMode { None, Add, Edit, ChangeCall };

// The boxes of the member form as the operator left them (upper case).
struct MemberFields
{
    QString call;
    QString name;
    QString county;
    QString status;
    QString city;
};

// What the member list and the form show after an action of the form.
struct EditorOutcome
{
    std::optional<QString> status;
    QString sound;
    bool failed = false; // nothing was done: status says why
    bool formDone = false; // the mode is over: the form empties, the caret goes to CALLSIGN
    bool clearForm = false; // the boxes empty although the mode goes on
    // The member line of this record (of the county shown) is redrawn or removed.
    int lineRecord = 0;
    QString lineText; // empty: the line is removed
    bool lineChecked = false;
    QString appendLine; // a line for the list: the station just added and checked in
    int appendRecord = 0; // its record, when it went into the county shown
    QString appendCall; // its call
    bool countChanged = false;
};

// The member form without its widgets: the mode, the station it works on (known by file
// and record, never by a line's text), and every write and count change it makes. The
// window only asks and shows.
class MemberEditor
{
public:
    MemberEditor(NetSession &session, const CountyTable &table, SettingsStore &settings);

    FormMode mode() const { return m_mode; }
    // The station of an Edit or a call change.
    const std::optional<MemberRef> &target() const { return m_target; }

    // A click on a non-listed call: the form adds a station.
    void startAdd();
    // Edit of a member line: its record as the file holds it now.
    Result<MemberFields> startEdit(int record);
    // Change CallSign of a member line: its call.
    Result<QString> startChangeCall(int record);
    // Cancel, and every other way out: the form is empty and in no mode.
    void cancel();

    // Save in the current mode. In a call change, newCall is the NEW CALL box.
    EditorOutcome save(const MemberFields &fields, const QString &newCall, const QDate &today);
    // Delete of a member line, after the operator has said yes.
    EditorOutcome remove(int record, const QDate &today);
    // Right-click > Restore Member on a line of the deleted-stations list: the station
    // retired this session (its id) goes back into a free record of its county with its
    // call, name, county, status and city, dated today so it is not retired again at once.
    // It is no new member and changes no total. A call the database holds again is refused.
    // The member list of the county shown is read again by the window.
    EditorOutcome restoreRetired(int id, const QDate &today);
    // The same for a station of the retired-stations file, typed again on a later night: it
    // goes back into its station file as it was kept. One retired this session leaves
    // DELETED STATIONS as by Restore Member.
    EditorOutcome restoreArchived(const ArchivedStation &archived, const QDate &today);
    // After a resume whose journal ends with a new member (the stop came while it was being
    // added): a member found in the files is put in the month's list and checked in, as the
    // add would have done; one not found is taken back from the journal.
    Status finishInterruptedAdd(const SessionEvent &intent);

private:
    EditorOutcome saveAdd(const MemberFields &fields, const QDate &today);
    EditorOutcome saveEdit(const MemberFields &fields);
    EditorOutcome saveChangeCall(const QString &newCall);
    EditorOutcome failed(const QString &text) const;
    EditorOutcome putBack(const QString &path, const StationRecord &station, const QDate &today);
    // Why a call cannot be given to a station: another station of the database has it.
    std::optional<QString> existingElsewhere(const QString &call, const QString &path) const;
    void end();

    NetSession &m_session;
    const CountyTable &m_table;
    SettingsStore &m_settings;
    FormMode m_mode = FormMode::None;
    std::optional<MemberRef> m_target;
};

// The name of the box a field comes from, and whether the field passes that box's filter:
// a character the box would not take cannot be stored as it was meant.
std::optional<QString> UnstorableField(const MemberFields &fields, bool changeCall);
