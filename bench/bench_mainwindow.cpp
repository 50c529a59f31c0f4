#include "fulldatabase.h"

#include "mainwindow/ui/frmmain.h"
#include "platform/ui/qtservices.h"
#include "startup/startupcontext.h"

#include <QListWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The main window's load on the full database: the COUNTIES list is built from the 116
// files, then the settings, preamble and layout. The production services, with the printer
// writing a PDF so that no print system is asked.
void BM_MainWindowLoad(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    Services services
        = MakeProductionServices(db.paths().root(), QDateTime(db.today(), QTime(19, 0)));
    services.printer
        = std::make_shared<QtPrinter>(db.paths().tempFolder() + QStringLiteral("x.pdf"));
    StartupContext context;
    FillStartupContext(context, services);
    std::unique_ptr<FrmMain> window;
    for (auto _ : state) {
        window = std::make_unique<FrmMain>(services, context);
        // EARLY CHECKINS, the 116 files with members and LATE CHECKINS.
        const auto *counties = window->findChild<QListWidget *>(QStringLiteral("lstCounties"));
        if (!counties || counties->count() != CountyTable::Last + 2)
            state.SkipWithError("the COUNTIES list does not hold every county");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowLoad)->Unit(benchmark::kMillisecond);

} // namespace
