#pragma once

#include "changelog.h"

#include "stationdb/paths.h"
#include "stationdb/result.h"
#include "stationdb/stationfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>

class Clock;
class SettingsStore;

// A change of another PC that met a different record here: nothing was written. The operator
// takes theirs or keeps this PC's, and that choice goes to the others as a change of its own.
struct NetConflict
{
    ChangeEvent theirs;
    QString theirName; // the name the other PC shares under
    int record = 0; // where this PC's version stands
    QByteArray mine; // this PC's record when the change came
};

// A record another PC's change was written into here.
struct NetApplied
{
    QString file; // the station file's name
    int record = 0;
    StationRecord station; // as written
};

// What one pass over the net folder did.
struct NetPass
{
    int applied = 0; // others' changes written here
    int conflicts = 0; // conflicts standing after the pass
    int published = 0; // sessions of this PC put into the net folder
    QStringList refused; // lines passed over, named: "W4ABC-3f9a2c/changes.log LINE 7: ..."
    QStringList changedFiles; // station files written, by name
    QList<NetApplied> written; // each record written, in order
    bool more = false; // a log was read only in part: another pass follows at once
};

// This PC's place in a net folder that other PCs share (through a sync engine that keeps the
// folder the same everywhere). Each PC writes only under its own station id:
//   <net>/<id>/station.txt   the name it shares under, and which PC and folder write there
//   <net>/<id>/changes.log   every change to a member's record made here, before the file
//   <net>/<id>/sessions/     each finished session's log, net report and summary
// and reads the others' changes.log from where it stopped, applying each change only to a
// record that still holds what the change found (or already holds what it made).
class NetShare : public QObject, public RecordChangeWatcher
{
    Q_OBJECT
public:
    NetShare(const Paths &paths, SettingsStore &settings, const Clock &clock);
    ~NetShare() override;

    // Reads Net/Folder and Net/Station and starts sharing when a folder is set (a missing
    // station id is made and kept). Off when the folder is empty; an error when the settings
    // cannot be used (the folder cannot be made, an id that is not one).
    Status start();
    void stop();
    bool isOn() const { return m_on; }
    QString folder() const { return m_folder; }
    QString stationId() const { return m_id; }

    // Passes at once, when the folder changes (a short wait gathers a sync's many files),
    // and every minute.
    void watch();

    // Writes this PC's waiting changes and shares its finished sessions (at the end of a
    // net, so the others see it before the next start).
    void publishNow();

    // Applies the others' new changes, shares this PC's finished sessions and looks whether
    // another PC writes under this station id.
    NetPass pass();

    // The conflicts that still stand: one whose record here has since become theirs drops out.
    QList<NetConflict> conflicts() const;
    Status takeTheirs(const QString &eventId);
    Status keepMine(const QString &eventId);

    // Another PC writes under this PC's station id (a program folder copied to a second PC).
    bool idInUseElsewhere() const { return m_idElsewhere; }
    // This PC's changes that could not be written to the net folder yet, and why.
    bool logFailing() const { return !m_unwritten.isEmpty(); }
    QString logFailure() const { return m_logFailure; }

    void recordsChanging(const QString &path, const QList<RecordChange> &changes) override;
    void recordsNotChanged(const QString &path, const QList<RecordChange> &changes) override;

    static QString Section() { return QStringLiteral("Net"); }
    static QString ReadSection() { return QStringLiteral("NetRead"); }

signals:
    void passed(const NetPass &pass);

private:
    enum class Applied { Written, AlreadyThere, Conflict };
    Applied apply(const ChangeEvent &event, QList<NetApplied> &written);
    // Finds a stored conflict, lets choice act on its station file, and drops it when that
    // went well.
    Status settle(const QString &eventId,
        const std::function<Status(StationFile &, const NetConflict &)> &choice);
    bool keepTakenOut(const StationFile &file, const QList<std::pair<int, StationRecord>> &writes,
        const QString &kind) const;
    void logChanges(const QString &path, const QList<RecordChange> &changes, bool undone);
    void appendOwn(const QString &file, int record, const QByteArray &before,
        const QByteArray &after, const QString &kind);
    void flushOwn();
    // One station's changes not applied yet, and where its reading stands.
    struct StationRead
    {
        QString id;
        qint64 offset = 0;
        qint64 applied = 0; // the sequence number of the last change applied
        qint64 storedOffset = 0;
        qint64 storedApplied = 0;
        std::map<qint64, ChangeEvent> events;
    };
    StationRead readStation(const QString &id, NetPass &pass) const;
    void applyStation(
        StationRead &read, QList<NetConflict> &standing, bool &conflictsChanged, NetPass &pass);
    // Every change of every station's log (this PC's too), read once a pass when asked.
    const QList<ChangeEvent> &everyChange();
    int publishSessions();
    void checkOwnId();
    QString stationFolder(const QString &id) const;
    QString writerMark() const;
    QList<NetConflict> storedConflicts() const;
    Status storeConflicts(const QList<NetConflict> &conflicts) const;
    QString nameOf(const QString &id) const;

    Paths m_paths;
    SettingsStore &m_settings;
    const Clock &m_clock;
    bool m_on = false;
    QString m_folder;
    QString m_id;
    qint64 m_sequence = 0;
    qint64 m_savedSequence = 0; // as the settings hold it: a floor should the log be lost
    QByteArray m_unwritten;
    QString m_logFailure;
    bool m_applying = false;
    bool m_idElsewhere = false;
    std::optional<QList<ChangeEvent>> m_everyChange;
    int m_budget = 0; // changes this pass may still apply
    QSet<QString> m_notShared; // session logs not worth sharing, looked at once a run
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_minute;
    QTimer m_settle;
};

// The name this PC shares under, as a PC's station.txt gives it (its first line, printable).
QString SharedStationName(const QString &netFolder, const QString &id);

// A PC seen in the net folder, for the operator to see who is in step.
struct NetStationSeen
{
    QString id;
    QString name;
    QDateTime lastChange; // of its latest change, UTC; invalid when it made none
    QString lastSession; // the name of its latest session ("2026-12-08-1900")
};
// Every station folder of a net folder (at most 64), this PC's among them.
QList<NetStationSeen> ListNetStations(const QString &netFolder);

// Where this PC's changes the net folder would not take wait for the next run.
QString NetOutboxFile(const Paths &paths);
// The file this PC keeps the conflicts it has not settled in.
QString NetConflictsFile(const Paths &paths);
