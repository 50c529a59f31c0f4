#include "fulldatabase.h"

#include "session/countyview.h"
#include "session/netsession.h"
#include "session/retiredarchive.h"
#include "session/stationsearch.h"
#include "stationdb/countytable.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void BM_FindStation_LastFile(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    const QString call = db.lastCall();
    for (auto _ : state) {
        auto found = FindStation(db.table(), call).found;
        if (!found || found->recordNumber != RecordsPerFile)
            state.SkipWithError("the last station was not found where it was written");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindStation_LastFile)->Unit(benchmark::kMicrosecond);

void BM_FindStation_NotListed(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    // A valid call the demo never makes: its suffixes there have three letters.
    const QString call = QStringLiteral("K4ZZ");
    for (auto _ : state) {
        auto found = FindStation(db.table(), call).found;
        if (found)
            state.SkipWithError("a call that is not in the database was found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindStation_NotListed)->Unit(benchmark::kMicrosecond);

// A call found in no station file is looked for in the retired-stations file too: here one
// of 10,000 lines (years of retirements, about 1 MB), the call kept nowhere.
void BM_FindArchivedStation_10000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("retired-stations.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("the retired-stations file cannot be written");
        return;
    }
    StationRecord station = StationRecord::blank();
    station.Name = QStringLiteral("GONE");
    for (int i = 0; i < 10000; ++i) {
        station.Call = QStringLiteral("W%1").arg(i, 5, 10, QLatin1Char('0'));
        file.write(RetiredArchiveLine(
            QDate(2026, 1, 1), false, QStringLiteral("Lee.dat"), 1 + i % RecordsPerFile, station));
    }
    file.close();
    for (auto _ : state) {
        auto found = FindArchivedStation(path, QStringLiteral("K4ZZ"));
        if (found)
            state.SkipWithError("a call that was never kept was found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindArchivedStation_10000)->Unit(benchmark::kMicrosecond);

void BM_ReadCountyView_NoRetirement(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    // Every demo station was heard within two years before the database date, so a day
    // before all of them retires nobody and the file stays as it is between iterations.
    const QDate before = db.today().addDays(-800);
    CurrentMembers members;
    for (auto _ : state) {
        const CountyView view = ReadCountyView(db.lastFile(), before, members);
        if (view.memberLines.size() != RecordsPerFile || !view.retiredLines.isEmpty())
            state.SkipWithError("the view did not list the 100 stations unchanged");
        benchmark::DoNotOptimize(view);
    }
}
BENCHMARK(BM_ReadCountyView_NoRetirement)->Unit(benchmark::kMicrosecond);

// The view on the database date retires about a third of the file, all in one whole-file
// write; a fresh copy each iteration keeps every iteration equal.
void BM_ReadCountyView_WithRetirements(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("Copy.dat"));
    CurrentMembers members;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(copy);
        if (!QFile::copy(db.lastFile(), copy))
            state.SkipWithError("the station file could not be copied");
        state.ResumeTiming();
        const CountyView view = ReadCountyView(copy, db.today(), members);
        if (view.retiredLines.isEmpty() || !view.failedRetirements.isEmpty())
            state.SkipWithError("the view retired nobody or failed to write");
        benchmark::DoNotOptimize(view);
    }
}
BENCHMARK(BM_ReadCountyView_WithRetirements)->Unit(benchmark::kMillisecond);

// What the operator waits for after Enter: the worst-case search and the record write.
void BM_TypedCheckin_Early(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    const QString call = db.lastCall();
    std::unique_ptr<NetSession> session;
    for (auto _ : state) {
        state.PauseTiming();
        session = std::make_unique<NetSession>(db.table());
        state.ResumeTiming();
        const SessionOutcome out = session->typedCheckin(call, db.today());
        if (!out.checkedIn)
            state.SkipWithError("the station was not checked in");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_TypedCheckin_Early)->Unit(benchmark::kMillisecond);

// A store the size of a used installation's: colours, fonts, counters, roster and report.
class SettingsFixture
{
public:
    static constexpr int Keys = 60;

    // padding: lines of a section nobody reads, written before the store's own values
    // (a hand-grown store near the 1 MB a store may have).
    explicit SettingsFixture(int paddingBytes = 0)
        : m_paths(Paths::underRoot(m_dir.path()))
        , m_store(m_paths)
    {
        if (paddingBytes > 0) {
            QByteArray padding("[Junk]\n");
            for (int i = 0; padding.size() < paddingBytes; ++i)
                padding += "Line" + QByteArray::number(i) + "=some text of a line\n";
            QDir().mkpath(m_paths.settingsFolder());
            QFile file(m_store.fileOf(QStringLiteral("VORQ")));
            if (!file.open(QIODevice::WriteOnly) || file.write(padding) != padding.size()) {
                std::fprintf(stderr, "vorq-bench: cannot write the padding\n");
                std::exit(1);
            }
        }
        static const char *const sections[]
            = { "Settings", "Screen", "Report", "NetCtl", "Fonts", "Counters" };
        QList<SettingChange> values;
        for (int i = 0; i < Keys; ++i) {
            const QString section = QString::fromLatin1(sections[i % 6]);
            const QString key = QStringLiteral("Key%1").arg(i);
            values << SettingChange::Set(
                section, key, QStringLiteral("value number %1 of the store").arg(i));
        }
        if (const Status saved = m_store.saveAll(values); !saved) {
            std::fprintf(stderr, "vorq-bench: %s\n", qPrintable(saved.error()));
            std::exit(1);
        }
    }
    SettingsStore &store() { return m_store; }

private:
    QTemporaryDir m_dir;
    Paths m_paths;
    SettingsStore m_store;
};

void BM_Settings_Get(benchmark::State &state)
{
    SettingsFixture fixture(int(state.range(0)));
    for (auto _ : state) {
        const QString value
            = fixture.store().get(QStringLiteral("counters"), QStringLiteral("KEY59"));
        if (value.isEmpty())
            state.SkipWithError("the last key was not read");
        benchmark::DoNotOptimize(value);
    }
}
// A store of a few kilobytes, and one just under the 1 MB a store may have: read once, not
// again for every value.
BENCHMARK(BM_Settings_Get)->Arg(0)->Arg(1000 << 10)->Unit(benchmark::kMicrosecond);

void BM_Settings_Save(benchmark::State &state)
{
    SettingsFixture fixture;
    int n = 0;
    for (auto _ : state) {
        if (!fixture.store().save(
                QStringLiteral("Counters"), QStringLiteral("Key59"), QString::number(++n)))
            state.SkipWithError("the store could not be written");
    }
}
BENCHMARK(BM_Settings_Save)->Unit(benchmark::kMicrosecond);

} // namespace
