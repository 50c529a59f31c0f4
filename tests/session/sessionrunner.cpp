// The child of tst_interruptedsession: runs the scripted net on a program root with its
// journal, then waits to be killed.
//   sessionrunner <root> <seed> <steps>

#include "platform/clock.h"
#include "scriptedsession.h"
#include "session/sessionjournal.h"
#include "stationdb/countytable.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const Paths paths = Paths::underRoot(QString::fromLocal8Bit(argv[1]));
    SettingsStore settings(paths);
    CountyTable table(paths.dataFolder());
    table.FillCountyFileNames();
    table.FillDisplayNames();
    SystemClock clock;
    NetSession session(table);
    MemberEditor editor(session, table, settings);
    SessionJournal journal(paths, clock);
    struct StopOnFailure : SessionJournal::Watcher
    {
        void journalFailed(const QString &error) override
        {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::exit(1);
        }
        void journalRecovered() override { }
    } stop;
    journal.setWatcher(&stop);
    // Tells the test that the session begins: a kill before would only test the start-up.
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    journal.begin(QStringLiteral("BOB"), QStringLiteral("K4XYZ"), QStringLiteral("EARLY"));
    session.setEventSink(&journal);
    RunScriptedSession(session, editor, clock.today(), std::atoi(argv[2]), std::atoi(argv[3]));
    std::fputs("done\n", stdout);
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
