#include "demodatabase.h"

#include "netstats/netstatistics.h"
#include "stationdb/paths.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDate kToday(2026, 12, 8);

// A year of sessions, 30 a month, as a busy net leaves them: written once per run.
const Paths &YearOfSessions()
{
    static QTemporaryDir root;
    static const Paths paths = [] {
        const Paths p = Paths::underRoot(root.path() + QStringLiteral("/"));
        QString error;
        if (!WriteDemoSessions(p, kToday, 12, 30, &error))
            qFatal("the sessions could not be written: %s", qPrintable(error));
        return p;
    }();
    return paths;
}

// What Reports > Net Statistics reads and works out when it opens: every log of the last
// twelve months, the month's figures and the year's.
void BM_Statistics_ReadYearOfSessions(benchmark::State &state)
{
    const Paths &paths = YearOfSessions();
    for (auto _ : state) {
        const QList<StatSession> sessions
            = ReadStatSessions(paths, QString(), QDate(2026, 1, 1), kToday);
        if (sessions.size() < 300)
            state.SkipWithError("the year's sessions were not all read");
        const MonthStatistics month = StatisticsOfMonth(sessions, 2026, 11);
        benchmark::DoNotOptimize(month.qni);
        benchmark::DoNotOptimize(LastTwelveMonths(sessions, kToday));
    }
}
BENCHMARK(BM_Statistics_ReadYearOfSessions)->Unit(benchmark::kMillisecond);

} // namespace
