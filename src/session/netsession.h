#pragma once

#include "checkintable.h"
#include "countyview.h"
#include "sessionevent.h"
#include "stationdb/result.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class CountyTable;
struct SessionState;

// What one operator action asks the main window to show.
struct SessionOutcome
{
    std::optional<QString> status; // the new status line, when it changes
    QString sound; // a sound to start, or empty
    QString checkinLine; // a line to append to the check-in list
    QString checkinCall; // the station of that line
    QString nonListed; // a call to append to the non-listed list
    QString notFound; // a call found in no station file (listed already, or now)
    QString notice; // what the status line adds after the outcome's own words (unreadable files)
    bool checkedIn = false;
    bool standsCheckedIn = false; // the station is checked in, now or from before
    QString county; // of the station checked in
    bool removeLine = false; // the acted-on line leaves the list
    bool unmarkLine = false; // the acted-on line loses its mark
};

// A status line with a notice after its own words.
QString WithNotice(const QString &status, const QString &notice);

// A station of the county shown: its file and record, and the call the county view read
// there. Member lines are known by their record, never by taking their text apart again.
struct MemberRef
{
    QString path;
    int record = 0;
    QString call;
};

struct CountyChoice
{
    QString caption; // of the member frame
    QStringList lines; // the member list
    QList<int> records; // the record of each line
    QList<int> marked; // lines to show marked (already checked in)
    QStringList retired; // lines for the deleted-stations list
    QList<int> retiredIds; // for each of them, what restoreRetired takes
    std::optional<QString> status;
    QString sound;
};

// The logging core of a net session: the check-in table, the mode chosen in the COUNTIES
// list, the county read last and the counters. It reads and writes the station files; the
// window only shows what it answers.
class NetSession
{
public:
    explicit NetSession(const CountyTable &table);

    // Enter in the check-in box.
    SessionOutcome typedCheckin(const QString &typed, const QDate &today);
    // A COUNTIES entry chosen.
    CountyChoice chooseEntry(const QString &entry, const QDate &today, bool retainCheckmark);
    // A click on the member line of a record in county mode.
    SessionOutcome memberLineClick(
        int record, const QDate &today, bool dingEnabled, const QString &dingSound);
    // Edit > Delete Checkin on the current line: a check-in line's station (its call, or the
    // line whose first word it is; early and late mode) or the member line of a record
    // (county mode). Empty: nothing is selected.
    SessionOutcome deleteCheckin(const QString &line, int record = 0);
    // The station of a member line of the county shown; none in early and late mode or for
    // a record that holds no station.
    std::optional<MemberRef> member(int record) const;
    // A check-in of a station just added to the database (its record, record number n of
    // the file at path, is already written).
    SessionOutcome checkInAdded(const StationRecord &station, const QString &path, int n);
    // A station retired this session (an id of CountyChoice::retiredIds), with the file it
    // was retired from, until it is restored.
    struct Retired
    {
        QString path;
        StationRecord station;
        bool restored = false;
    };
    std::optional<Retired> retired(int id) const;
    void retiredRestored(int id);
    // The id of a station retired this session and not restored, by its file and call.
    std::optional<int> standingRetiredId(const QString &path, const QString &call) const;
    // A station of the retired-stations file put back on a later night.
    void archivedRestored(const QString &path, const QString &call);
    // The lines and ids of DELETED STATIONS as a resumed session left them.
    std::pair<QStringList, QList<int>> standingRetired() const;
    // Where every retired or deleted record is kept (append-only text: date, kind, file,
    // record, the 82 bytes); none by default.
    void setRetiredArchive(const QString &path) { m_retiredArchive = path; }
    // A member about to leave its station file: kept in the archive first. The caller
    // writes the file only when this succeeds, then tells it with stationRemoved.
    Status keepRemoved(const QString &path, int n, const StationRecord &station, bool deleted,
        const QDate &today) const;
    void stationRemoved(const QString &path, int n, const StationRecord &station, bool deleted);
    // A member's record rewritten by the form (record n of the file at path).
    void memberEdited(const QString &path, int n, const StationRecord &station);
    // The roster chose tonight's net control: today's regular one, or an alternate.
    void netControlChosen(const QString &name, const QString &call, bool alternate);
    // A station being added to the database, for the month's new-member list; journaled
    // before the station file is written. Returns the event, for reportUndone.
    SessionEvent memberAdded(const QString &call, const QString &newMemberLine);
    // A change of call about to be written to the station file: the check-in that keeps
    // its entry under the new call is renamed and journaled first; memberLeft(journaled)
    // does the rest once the file took it. callChangeFailed takes it back.
    SessionEvent callChangeIntent(const QString &call, const QString &newCall);
    void callChangeFailed(const SessionEvent &intent);
    // The station file did not take what was journaled: the journal takes it back.
    void reportUndone(const SessionEvent &intent);

    bool earlyLateMode() const { return m_earlyLateMode; }
    QString earlyLateKind() const { return m_earlyLateKind; }
    QString chosenEntry() const { return m_chosenEntry; }
    QString currentCountyFile() const { return m_currentCountyFile; }
    CurrentMembers &currentMembers() { return m_members; }
    const CheckinTable &checkins() const { return m_checkins; }
    CheckinTable &checkins() { return m_checkins; }

    // Always the number of stations in the check-in table: no path changes one without
    // the other.
    int checkinCount() const { return m_checkins.stationCount(); }
    // A member deleted (newCall empty) or given a new call. The check-in made by the click
    // that selected its line is taken back; one made earlier stays, under the new call.
    // journaled: the change of call was journaled already (callChangeIntent).
    void memberLeft(
        const QString &call, const QString &newCall = QString(), bool journaled = false);
    int traffic() const { return m_traffic; }
    // Left button adds one, right button takes one away; never below 0. The count is also
    // told against the station of call, when one is given (its check-in line selected).
    void countTraffic(bool add, const QString &call = QString());

    bool memberAddedFlag = false;

    // The calls of the non-listed list, as the window shows them.
    const QStringList &nonListed() const { return m_nonListed; }
    // CLEAR: the non-listed list empties.
    void clearNonListed();
    // A call not found that the operator accepted as another (a typo of a member's) leaves
    // the non-listed list.
    void withdrawNonListed(const QString &call);

    // Where every change of the session is reported as it is made (the journal); none by
    // default.
    void setEventSink(SessionEventSink *sink) { m_sink = sink; }
    // Takes over an interrupted session as its journal rebuilt it: check-ins, counters and
    // lists. No station file is read or written.
    void restore(const SessionState &state);

    // After a resume: the journal's last event, a check-in or call change that may have
    // been journaled without reaching its station file, finished or undone as the file
    // shows. An error names a check-in that could not be finished (and was undone).
    Status finishInterrupted(const SessionEvent &last);

    // A notice of the files that could not be read, each told once per session (a notice
    // on every check-in would drown the status line); empty when all were told already.
    QString takeUnreadableNotice(const QStringList &errors);

private:
    void report(const SessionEvent &event)
    {
        if (m_sink)
            m_sink->record(event);
    }

    const CountyTable &m_table;
    CheckinTable m_checkins;
    CurrentMembers m_members;
    bool m_earlyLateMode = true;
    QString m_earlyLateKind = QStringLiteral("EARLY");
    QString m_chosenEntry;
    QString m_currentCountyFile;
    std::optional<QString> m_clickCheckin; // the station the last member-line click checked in
    int m_traffic = 0;
    QSet<QString> m_reportedUnreadable;
    QStringList m_nonListed;
    QList<Retired> m_retired; // stations retired this session, by id
    QString m_retiredArchive;
    SessionEventSink *m_sink = nullptr;
};

// The counter captions: check-ins as a plain number; traffic with a leading blank before a
// number of zero or more once it has been counted (" 3").
QString TrafficCaption(int traffic);
