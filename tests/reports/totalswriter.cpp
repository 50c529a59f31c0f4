// The child of tst_interruptedtotals: adds sessions with fixed figures to the stored totals
// of a program root, one after another, until it is killed.
//   totalswriter <root> <check-ins per session> <traffic per session>

#include "reports/monthlytotals.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    SettingsStore settings(Paths::underRoot(QString::fromLocal8Bit(argv[1])));
    const qint32 checkins = std::atoi(argv[2]);
    const qint32 traffic = std::atoi(argv[3]);
    // Tells the test that the loop begins: a kill before would only test the start-up.
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;) {
        const Status added = AddSessionToStoredTotals(settings, checkins, traffic);
        if (!added) {
            std::fprintf(stderr, "%s\n", qPrintable(added.error()));
            return 1;
        }
    }
}
