#include "testroot.h"

#include "platform/ui/qtservices.h"
#include "stationdb/crc32.h"

#include <QDir>
#include <QFile>
#include <algorithm>

StationRecord Station(const QString &call, const QString &name, const QString &county,
    const QString &status, const QString &city, const QString &lastDate)
{
    StationRecord r;
    r.Call = call;
    r.Name = name;
    r.County = county;
    r.Status = status;
    r.City = city;
    r.LastDate = lastDate;
    return r;
}

StationRecord EndMarker()
{
    return Station(StationRecord::EndMarker());
}

StationRecord Vacant()
{
    return Station(StationRecord::VacantMarker());
}

StationRecord BlankSlot()
{
    return StationRecord::blank();
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TestRoot::TestRoot(const QString &existingRoot, const QDateTime &now)
    : TestRoot({}, {}, now, existingRoot)
{
}

TestRoot::TestRoot(Files files, std::initializer_list<SettingValue> settings, const QDateTime &now,
    const QString &existingRoot)
    : m_rootPath(existingRoot.isEmpty() ? m_dir.path() : existingRoot)
    , m_services { Paths::underRoot(m_rootPath), nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr }
    , m_clock(std::make_shared<ManualClock>(now))
    , m_dialogs(std::make_shared<ScriptedDialogs>())
    , m_sounds(std::make_shared<RecordingSounds>())
    , m_shell(std::make_shared<RecordingShell>())
    , m_keyboard(std::make_shared<RecordingKeyboard>())
    , m_screen(std::make_shared<FixedScreen>())
    , m_printer(std::make_shared<RecordingPrinter>())
{
    m_services.clock = m_clock;
    m_services.settings = std::make_shared<SettingsStore>(m_services.paths);
    m_services.dialogs = m_dialogs;
    m_services.sounds = m_sounds;
    m_services.shell = m_shell;
    m_services.keyboard = m_keyboard;
    m_services.screen = m_screen;
    m_services.printer = m_printer;
    // The real client: tests that need the network start a server on this machine.
    m_services.web = std::make_shared<QtWebClient>();
    m_table.setDataFolder(m_services.paths.dataFolder());
    QDir().mkpath(m_services.paths.dataFolder());
    QDir().mkpath(m_services.paths.programFolder());
    QDir().mkpath(m_services.paths.appDataFolder() + MakerFolderName());
    for (const auto &[name, records] : files)
        writeStations(name, records);
    for (const SettingValue &s : settings)
        if (const Status saved = m_services.settings->save(s.section, s.key, s.value); !saved)
            qFatal("test root: %s", qPrintable(saved.error()));
}

void TestRoot::writeStations(const QString &displayName, const QList<StationRecord> &records)
{
    QByteArray bytes;
    for (StationRecord r : records) {
        if (r.County.isEmpty() && !r.isFree() && !r.isEndMarker())
            r.County = displayName;
        bytes += r.toBytes();
    }
    writeStationBytes(displayName, bytes);
}

QByteArray TestRoot::stationBytes(const QString &displayName) const
{
    return FileBytes(filePath(displayName));
}

void TestRoot::writeStationBytes(const QString &displayName, const QByteArray &bytes)
{
    QFile f(filePath(displayName));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

StationRecord TestRoot::record(const QString &displayName, int n) const
{
    const QByteArray bytes = stationBytes(displayName);
    return StationRecord::fromBytes(
        bytes.mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size));
}

QByteArray SealedJournalLine(const QString &fields)
{
    const QByteArray body = fields.toUtf8().replace('|', '\t');
    return body + '\t' + QByteArray::number(Crc32(body), 16).rightJustified(8, '0') + '\n';
}

int SlowTestRuns(int full)
{
    bool ok = false;
    const double share = qEnvironmentVariable("VORQ_SLOW_TEST_SHARE").toDouble(&ok);
    if (!ok || share <= 0 || share >= 1)
        return full;
    return std::max(1, int(full * share));
}
