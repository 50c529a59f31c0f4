#include "demodatabase.h"

#include "netshare/netshare.h"
#include "netstats/netstatistics.h"
#include "netstats/ui/frmnetstatistics.h"
#include "platform/ui/qtservices.h"
#include "startup/startupcontext.h"
#include "stationdb/paths.h"

#include <QTreeWidget>

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
        if (!WriteDemoDatabase(p, { kToday, true }, &error)
            || !WriteDemoSessions(p, kToday, 12, 30, &error))
            qFatal("the database or the sessions could not be written: %s", qPrintable(error));
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

// The whole window as the operator opens it: the year's logs, the members to call from the
// full database of 116 files, the charts and the map built.
void BM_Statistics_OpenWindow(benchmark::State &state)
{
    const Paths &paths = YearOfSessions();
    Services services = MakeProductionServices(paths.root(), QDateTime(kToday, QTime(19, 0)));
    StartupContext context;
    FillStartupContext(context, services);
    context.countyTable.FillDisplayNames();
    NetShare share(services.paths, *services.settings, *services.clock);
    for (auto _ : state) {
        FrmNetStatistics window(services, context, share);
        const auto *members = window.findChild<QTreeWidget *>(QStringLiteral("tblMembersToCall"));
        if (!members || members->topLevelItemCount() == 0)
            state.SkipWithError("no member to call was listed");
    }
}
BENCHMARK(BM_Statistics_OpenWindow)->Unit(benchmark::kMillisecond);

} // namespace
