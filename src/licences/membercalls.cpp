#include "membercalls.h"

#include "licencefields.h"
#include "session/stationsearch.h"
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
    const QByteArray vacant = StationRecord::VacantMarker().toLatin1();
    search.unreadable = WalkStationCalls(
        table, [&](int p, const QString &path, const QByteArray &bytes, int n, QByteArrayView c) {
            if (c == vacant || !wanted(c))
                return true;
            const StationRecord record = StationRecordAt(bytes, n);
            search.found.push_back({ record.Call, record.Name,
                record.County.isEmpty() ? table.displayName(p) : record.County, path, n });
            return true;
        });
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
