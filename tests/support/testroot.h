#pragma once

#include "doubles.h"
#include "platform/services.h"
#include "stationdb/countytable.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationrecord.h"

#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

// A station record in one line; the county defaults to the file it is written into.
StationRecord Station(const QString &call, const QString &name = QString(),
    const QString &county = QString(), const QString &status = QString(),
    const QString &city = QString(), const QString &lastDate = QString());
StationRecord EndMarker();
StationRecord Vacant();
StationRecord BlankSlot();
// The whole content of a file; empty when it cannot be read.
QByteArray FileBytes(const QString &path);

// How many runs a slow test makes of its full count: all of them, or the share that
// VORQ_SLOW_TEST_SHARE gives (the sanitizer build, ten times slower, runs a fifth).
int SlowTestRuns(int full);

// A journal line with a sound checksum, made by hand as anything may have made it: its
// fields with "|" for a tab ("nonlisted|2026-03-10T19:04:05|W9ZZ").
QByteArray SealedJournalLine(const QString &fields);

struct SettingValue
{
    QString section;
    QString key;
    QString value;
};

// A temporary program root with station files, settings and test doubles:
//   TestRoot root({{"JEFFERSON", {Station("K4ABC", "JIM")}}}, {{"Settings", "User Name", "BOB"}});
class TestRoot
{
public:
    using Files = std::initializer_list<std::pair<QString, QList<StationRecord>>>;

    explicit TestRoot(Files files = {}, std::initializer_list<SettingValue> settings = {},
        const QDateTime &now = QDateTime(QDate(2026, 3, 10), QTime(19, 0, 0)),
        const QString &existingRoot = QString());
    // The doubles over a program root that exists already (a child process's, say); the
    // folder is not removed afterwards.
    TestRoot(const QString &existingRoot, const QDateTime &now);

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_rootPath; }
    Services &services() { return m_services; }
    const Paths &paths() const { return m_services.paths; }
    SettingsStore &settings() { return *m_services.settings; }
    CountyTable &table() { return m_table; }

    // Writes a station file of a display name (records in order, nothing else).
    void writeStations(const QString &displayName, const QList<StationRecord> &records);
    // Raw bytes of a display name's station file.
    QByteArray stationBytes(const QString &displayName) const;
    void writeStationBytes(const QString &displayName, const QByteArray &bytes);
    // Record n (from 1) of a display name's file, as stored (untrimmed).
    StationRecord record(const QString &displayName, int n) const;
    // The bytes of the settings store's VORQ file.
    QByteArray settingsBytes() { return FileBytes(settings().fileOf(QStringLiteral("VORQ"))); }
    QString filePath(const QString &displayName) const
    {
        return m_table.CountyFilePath(displayName);
    }

    ManualClock &clock() { return *m_clock; }
    ScriptedDialogs &dialogs() { return *m_dialogs; }
    RecordingSounds &sounds() { return *m_sounds; }
    RecordingShell &shell() { return *m_shell; }
    RecordingKeyboard &keyboard() { return *m_keyboard; }
    FixedScreen &screen() { return *m_screen; }
    RecordingPrinter &printer() { return *m_printer; }

private:
    QTemporaryDir m_dir;
    QString m_rootPath;
    Services m_services;
    CountyTable m_table;
    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<ScriptedDialogs> m_dialogs;
    std::shared_ptr<RecordingSounds> m_sounds;
    std::shared_ptr<RecordingShell> m_shell;
    std::shared_ptr<RecordingKeyboard> m_keyboard;
    std::shared_ptr<FixedScreen> m_screen;
    std::shared_ptr<RecordingPrinter> m_printer;
};
