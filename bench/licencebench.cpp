// The licence database's measurements: the import of a generated file of the real size,
// its ratio to the floor of reading and splitting the same files without storing them,
// its peak memory, and the lookups the net control waits for. One run of each: the import
// takes tens of seconds, where repetitions measure nothing new.
#include "fulldatabase.h"
#include "licences/licencedatabase.h"
#include "licences/licencefields.h"
#include "licences/membercalls.h"
#include "licences/unknowncall.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char *const First[] = { "JOHN", "MARY", "ROBERT", "PATRICIA", "JAMES", "LINDA", "DAVID",
    "BARBARA", "WILLIAM", "SUSAN", "RICHARD", "KAREN", "CHARLES", "NANCY", "THOMAS", "LISA" };
const char *const Last[] = { "SMITH", "JOHNSON", "WILLIAMS", "BROWN", "JONES", "GARCIA", "MILLER",
    "DAVIS", "RODRIGUEZ", "MARTINEZ", "HERNANDEZ", "LOPEZ", "WILSON", "ANDERSON" };
const char *const City[] = { "MOBILE", "HUNTSVILLE", "BIRMINGHAM", "MONTGOMERY", "TUSCALOOSA",
    "DOTHAN", "AUBURN", "DECATUR", "MADISON", "FLORENCE", "GADSDEN", "VESTAVIA HILLS" };
const char *const State[] = { "AL", "GA", "FL", "TN", "MS", "TX", "CA", "NY", "OH", "WA" };
const char Classes[] = "EAGTTTGEP";

// A call per licence; every fifth licence is an older, expired one of the call before it,
// so the join has calls with several rows to choose from.
QByteArray CallOf(int id)
{
    const int n = id % 5 == 0 ? id - 1 : id;
    char call[8];
    int i = 0;
    call[i++] = "KNW"[n % 3];
    call[i++] = char('A' + n / 3 % 26);
    call[i++] = char('0' + n / 78 % 10);
    int rest = n / 780;
    for (int k = 0; k < 3; ++k, rest /= 26)
        call[i++] = char('A' + rest % 26);
    return QByteArray(call, i);
}

QByteArray EnLine(int id)
{
    const QByteArray f = First[id % 16], l = Last[id / 16 % 14];
    return "EN|" + QByteArray::number(id) + "|||" + CallOf(id) + "|L|L" + QByteArray::number(id)
        + "|" + l + ", " + f + " Q|" + f + "|Q|" + l + "|||||" + QByteArray::number(id % 9000 + 100)
        + " MAGNOLIA AVENUE NORTH|" + City[id % 12] + "|" + State[id / 7 % 10] + "|"
        + QByteArray::number(35000 + id % 3000) + "|||000|" + QByteArray::number(1000000 + id)
        + "|I|||||||\r\n";
}

QByteArray HdLine(int id)
{
    const bool old = id % 5 == 0;
    const QByteArray granted = old ? "04/01/2004" : "03/02/2020";
    const QByteArray expires = old ? "04/01/2014" : "03/02/2030";
    return "HD|" + QByteArray::number(id) + "|0000000000||" + CallOf(id) + "|" + (old ? "E" : "A")
        + "|HA|" + granted + "|" + expires + "|||||||||||N||||||||N||||||||||||||" + granted + "|"
        + granted + "|||||||||\r\n";
}

QByteArray AmLine(int id)
{
    return "AM|" + QByteArray::number(id) + "|||" + CallOf(id) + "|" + Classes[id % 9]
        + "|D|4|||||||||||\r\n";
}

using LineMaker = QByteArray (*)(int);

Status WriteZip(const QString &path, int rows)
{
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_zip_set_compression_deflate(a);
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        return Status::Error(QString::fromLocal8Bit(archive_error_string(a)));
    const std::pair<const char *, LineMaker> files[]
        = { { "AM.dat", AmLine }, { "EN.dat", EnLine }, { "HD.dat", HdLine } };
    for (const auto &[name, make] : files) {
        qint64 size = 0; // the zip header wants the size first: the lines are made twice
        for (int id = 1; id <= rows; ++id)
            size += make(id).size();
        archive_entry *e = archive_entry_new();
        archive_entry_set_pathname(e, name);
        archive_entry_set_size(e, size);
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_mtime(
            e, QDateTime(QDate(2026, 12, 4), QTime(6, 0)).toSecsSinceEpoch(), 0);
        archive_write_header(a, e);
        archive_entry_free(e);
        QByteArray chunk;
        for (int id = 1; id <= rows; ++id) {
            chunk += make(id);
            if (chunk.size() > (1 << 20) || id == rows) {
                archive_write_data(a, chunk.constData(), size_t(chunk.size()));
                chunk.clear();
            }
        }
    }
    const bool ok = archive_write_close(a) == ARCHIVE_OK;
    archive_write_free(a);
    return ok ? Status::Ok() : Status::Error(QStringLiteral("cannot write the zip"));
}

// The floor: the same streamed read of the zip and the same split of every line into its
// fields, with nothing stored.
qint64 ReadAndSplit(const QString &zip)
{
    archive *a = archive_read_new();
    archive_read_support_format_zip(a);
    archive_read_open_filename(a, QFile::encodeName(zip).constData(), 1 << 16);
    archive_entry *entry;
    PipeFields fields;
    qint64 total = 0;
    QByteArray carry;
    while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        const void *block;
        size_t size;
        la_int64_t offset;
        while (archive_read_data_block(a, &block, &size, &offset) == ARCHIVE_OK) {
            QByteArrayView data(static_cast<const char *>(block), qsizetype(size));
            for (qsizetype end; (end = data.indexOf('\n')) >= 0; data = data.sliced(end + 1)) {
                carry += data.first(end);
                fields.split(carry);
                total += fields.count();
                carry.clear();
            }
            carry += data;
        }
    }
    archive_read_free(a);
    return total;
}

double CpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Spread
{
    double median = 0, max = 0; // milliseconds
};

Spread Measure(int runs, const std::function<void(int)> &run)
{
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        run(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return { ms[ms.size() / 2], ms.back() };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1'500'000;
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("l_amat.zip"));
    QElapsedTimer t;
    t.start();
    if (Status s = WriteZip(zip, rows); !s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.error()));
        return 1;
    }
    std::printf("generated %d EN, HD and AM rows: %.0f MB zip in %.1f s\n", rows,
        double(QFileInfo(zip).size()) / 1e6, double(t.elapsed()) / 1e3);

    t.start();
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const qint64 fields = ReadAndSplit(zip);
    const double floorSeconds = double(t.elapsed()) / 1e3;
    const double floorCpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    std::printf("floor (streamed read + split, nothing stored): %.1f s wall, %.1f s CPU (%lld "
                "fields)\n",
        floorSeconds, floorCpu, static_cast<long long>(fields));

    const QString root = dir.filePath(QStringLiteral("root"));
    QProcess import;
    import.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    t.start();
    import.start(QStringLiteral(VORQ_PROGRAM),
        { QStringLiteral("--root"), root, QStringLiteral("--import-licences"), zip });
    if (!import.waitForFinished(-1) || import.exitCode() != 0) {
        std::fprintf(stderr, "the import failed\n");
        return 1;
    }
    const double importSeconds = double(t.elapsed()) / 1e3;
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const double importCpu = CpuSeconds(RUSAGE_CHILDREN);
    const QString db = LicenceDatabasePath(Paths::underRoot(root));
    std::printf("import (vorq --import-licences): %.1f s wall, %.1f s CPU, peak memory %.0f MB, "
                "database %.0f MB\n",
        importSeconds, importCpu, double(usage.ru_maxrss) / 1024,
        double(QFileInfo(db).size()) / 1e6);
    std::printf("import / floor: %.2f (wall), %.2f (CPU)\n", importSeconds / floorSeconds,
        importCpu / floorCpu);

    LicenceDatabase licences(db);
    const Spread first = Measure(1, [&](int) { (void)licences.find(QStringLiteral("W4XYZ")); });
    const Spread lookup = Measure(10000, [&](int i) {
        const Result<std::optional<Licence>> r
            = licences.find(QString::fromLatin1(CallOf(1 + int(qint64(i) * 7919 % rows))));
        if (!r || !r->has_value())
            std::fprintf(stderr, "a generated call was not found\n");
    });
    const Spread missing
        = Measure(10000, [&](int) { (void)licences.find(QStringLiteral("KZ9ZZZ")); });
    std::printf("lookup: first (opens the file) %.3f ms; found: median %.3f ms, max %.3f ms; "
                "not found: median %.3f ms, max %.3f ms\n",
        first.median, lookup.median, lookup.max, missing.median, missing.max);

    const FullDatabase &full = FullDatabase::instance();
    QString typo = full.lastCall();
    typo.chop(1);
    const Spread near = Measure(200, [&](int) {
        if (FindNearMisses(full.table(), typo).found.empty())
            std::fprintf(stderr, "no near miss found\n");
    });
    const Spread answer = Measure(
        200, [&](int) { (void)AnswerUnknownCall(typo, &licences, full.table(), full.today()); });
    std::printf("near-miss over the full station database (116 x 100): median %.3f ms, "
                "max %.3f ms\nwhole answer to an unknown call (lookup + near-miss): median "
                "%.3f ms, max %.3f ms\n",
        near.median, near.max, answer.median, answer.max);
    return 0;
}
