// Imports a zip into a data folder with the address space bounded: what the process holds
// at the start and the given number of MB more. Prints the status line, then the peak
// resident memory in KB. A reader that keeps what it unpacks runs out and dies here, not in
// the test that starts it.

#include "backup/stationimport.h"
#include "stationdb/countytable.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VORQ_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORQ_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

bool BoundAddressSpace(long long extraMb)
{
#if defined(VORQ_ADDRESS_SANITIZER)
    // The sanitizer reserves terabytes of address space of its own: no bound fits beside it.
    (void)extraMb;
    return true;
#else
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return false;
    const long long pages = statm.readAll().split(' ').value(0).toLongLong();
    const rlim_t bound = rlim_t(pages * sysconf(_SC_PAGESIZE) + extraMb * 1024 * 1024);
    const rlimit limit { bound, bound };
    return pages > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: boundedimport DATA-FOLDER ZIP EXTRA-MB\n");
        return 2;
    }
    const QString data = QFile::decodeName(argv[1]);
    CountyTable table(data);
    if (!BoundAddressSpace(std::atoll(argv[3]))) {
        std::fprintf(stderr, "the address space cannot be bounded\n");
        return 2;
    }
    const ImportReport report
        = ImportStationFiles(table, data, QFile::decodeName(argv[2]), QString());
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    QTextStream out(stdout);
    out << ImportStatusText(report) << '\n' << usage.ru_maxrss << '\n';
    return 0;
}
