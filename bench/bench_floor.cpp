#include "fulldatabase.h"

#include "stationdb/stationrecord.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The floor of a search: open, read and close every station file with plain system calls
// and compare the call field of each record, with no text conversion at all. A search can
// hardly be faster than this without keeping the files' content between searches.
void BM_SearchFloor_PlainReads(benchmark::State &state)
{
    const FullDatabase &db = FullDatabase::instance();
    std::vector<std::string> paths;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        paths.push_back(QFile::encodeName(db.table().filePath(p)).toStdString());
    const char wanted[StationRecord::CallWidth] = { 'K', '4', 'Z', 'Z', ' ', ' ' };
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        int matches = 0;
        for (const std::string &path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                state.SkipWithError("a station file could not be opened");
                break;
            }
            size_t got = 0;
            ssize_t n;
            while ((n = ::read(fd, buffer.data() + got, buffer.size() - got)) > 0)
                got += size_t(n);
            ::close(fd);
            for (size_t at = 0; at + StationRecord::Size <= got; at += StationRecord::Size)
                matches += std::memcmp(buffer.data() + at, wanted, sizeof wanted) == 0;
        }
        if (matches != 0)
            state.SkipWithError("a call that is not in the database was found");
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(BM_SearchFloor_PlainReads)->Unit(benchmark::kMicrosecond);

} // namespace
