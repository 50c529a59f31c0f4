#include "membercalls.h"

#include "licencefields.h"
#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"
#include "stationdb/stationrecord.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace {

// Every member record of every file (up to its end marker, free slots left out), as the
// station search walks them; only the records the test accepts become text.
MemberCallSearch ScanMembers(
    const CountyTable &table, const std::function<bool(QByteArrayView)> &wanted)
{
    MemberCallSearch search;
    const QByteArray endMarker = StationRecord::EndMarker().toLatin1();
    const QByteArray vacant = StationRecord::VacantMarker().toLatin1();
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString path = table.filePath(p);
        const Result<QByteArray> bytes = ReadStationRecords(path);
        if (!bytes) {
            search.unreadable << bytes.error();
            continue;
        }
        const qsizetype present = (bytes->size() + StationRecord::Size - 1) / StationRecord::Size;
        for (int n = 1; n <= std::min<qsizetype>(RecordsPerFile, present); ++n) {
            const QByteArrayView c = TrimmedCallBytes(*bytes, n);
            if (c == endMarker)
                break;
            if (c.isEmpty() || c == vacant || !wanted(c))
                continue;
            const StationRecord record = StationRecord::fromBytes(
                bytes->mid(qsizetype(n - 1) * StationRecord::Size, StationRecord::Size))
                                             .trimmed();
            search.found.push_back({ record.Call, record.Name,
                record.County.isEmpty() ? table.displayName(p) : record.County, path, n });
        }
    }
    return search;
}

} // namespace

MemberCallSearch FindNearMisses(const CountyTable &table, const QString &call)
{
    const QString typed = call.trimmed().toUpper();
    bool latin1 = !typed.isEmpty();
    for (QChar c : typed)
        latin1 = latin1 && c.unicode() <= 0xff;
    if (!latin1)
        return {};
    const QByteArray wanted = typed.toLatin1();
    return ScanMembers(table, [&](QByteArrayView c) { return OneEditApart(c, wanted); });
}

MemberCallSearch FindBySuffix(const CountyTable &table, const QString &letters)
{
    const QByteArray suffix = letters.toUpper().toLatin1();
    if (suffix.isEmpty())
        return {};
    MemberCallSearch search = ScanMembers(
        table, [&](QByteArrayView c) { return c.size() > suffix.size() && c.endsWith(suffix); });
    std::stable_sort(search.found.begin(), search.found.end(),
        [](const MemberCall &a, const MemberCall &b) { return a.call < b.call; });
    return search;
}

std::optional<QString> SuffixQuery(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral("^\\?([A-Za-z]{1,3})$"));
    const QRegularExpressionMatch m = form.match(typed.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toUpper();
}
