#include "demodatabase.h"

#include "startup/supportfiles.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/folders.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <random>

namespace {

const char *const kNames[] = {
    "JIM",
    "BOB",
    "MARY",
    "LINDA",
    "TOM",
    "SUE",
    "BILL",
    "ANN",
    "JOE",
    "CAROL",
    "DAVE",
    "RUTH",
    "MIKE",
    "JANE",
    "PAUL",
    "BETTY",
    "KEN",
    "DIANE",
    "RAY",
    "JOAN",
    "GARY",
    "NANCY",
    "LARRY",
    "PEGGY",
    "FRANK",
    "ELLEN",
    "WAYNE",
    "GLORIA",
    "EARL",
    "HAZEL",
    "DALE",
    "IRMA",
};

const char *const kCityParts[] = {
    "PINE",
    "CEDAR",
    "OAK",
    "MAPLE",
    "RED",
    "GREEN",
    "STONE",
    "MILL",
    "FOX",
    "BEAR",
};
const char *const kCityEnds[] = {
    " HOLLOW",
    " SPRINGS",
    " RIDGE",
    " CREEK",
    "VILLE",
    " GROVE",
    " FORD",
    " BLUFF",
};

// The demo's counties and states with stations, by display name.
const char *const kDemoPlaces[] = {
    "BALDWIN",
    "BLOUNT",
    "CALHOUN",
    "CHILTON",
    "COFFEE",
    "CULLMAN",
    "DALE",
    "DEKALB",
    "ELMORE",
    "ETOWAH",
    "HOUSTON",
    "JACKSON",
    "JEFFERSON",
    "LAUDERDALE",
    "LEE",
    "LIMESTONE",
    "MADISON",
    "MARSHALL",
    "MOBILE",
    "MONTGOMERY",
    "MORGAN",
    "SHELBY",
    "ST CLAIR",
    "TALLADEGA",
    "TUSCALOOSA",
    "WALKER",
    "WASHINGTON",
    "WINSTON",
    "ARIZONA",
    "ARKANSAS",
    "FLORIDA",
    "GEORGIA",
    "MISSISSIPPI",
    "TENNESSEE",
    "TEXAS",
    "WASHINGTON DC",
};

class CallMaker
{
public:
    explicit CallMaker(std::mt19937 &rng)
        : m_rng(rng)
    {
    }

    QString next(bool full)
    {
        static const char *const prefixes[] = { "K4", "W4", "N4", "KA4", "KB4", "KC4", "KD4", "WA4",
            "WB4", "KE4", "KF4", "KG4", "AA4", "AB4" };
        for (;;) {
            const QString prefix = QString::fromLatin1(prefixes[pick(std::size(prefixes))]);
            // Short calls for the small demo make the member lines varied; the full
            // database needs many, which the three-letter suffixes give.
            const int letters = full ? 3 : 1 + int(pick(3));
            QString call = prefix;
            for (int i = 0; i < letters; ++i)
                call += QChar(u'A' + int(pick(26)));
            if (call.size() <= 6 && IsValidCall(call) && !m_used.contains(call)) {
                m_used.insert(call);
                return call;
            }
        }
    }
    std::size_t pick(std::size_t n)
    {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng);
    }

private:
    std::mt19937 &m_rng;
    QSet<QString> m_used;
};

StationRecord station(
    CallMaker &maker, std::mt19937 &rng, const QString &county, const QDate &today, bool full)
{
    StationRecord r;
    r.Call = maker.next(full);
    r.Name = QString::fromLatin1(kNames[maker.pick(std::size(kNames))]);
    r.County = county;
    r.City = QString::fromLatin1(kCityParts[maker.pick(std::size(kCityParts))])
        + QString::fromLatin1(kCityEnds[maker.pick(std::size(kCityEnds))]);
    // Last heard some time in the past two years: about a third are due for retirement.
    const int daysAgo = std::uniform_int_distribution<int>(0, 730)(rng);
    const QDate heard = today.addDays(-daysAgo);
    r.LastDate = maker.pick(2) == 0 ? ShortDate(heard) : MmDdYyyy(heard);
    return r;
}

bool writeFile(const QString &path, const QList<StationRecord> &records, QString *error)
{
    QByteArray bytes;
    for (const StationRecord &r : records)
        bytes += r.toBytes();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

StationRecord marker(const QString &call)
{
    StationRecord r;
    r.Call = call;
    return r;
}

} // namespace

bool WriteDemoDatabase(const Paths &paths, const DemoDatabaseOptions &options, QString *error)
{
    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    if (!QDir().mkpath(paths.dataFolder())) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(paths.dataFolder());
        return false;
    }
    std::mt19937 rng(20261206u);
    CallMaker maker(rng);
    CountyTable table(paths.dataFolder());

    const QSet<QString> demoPlaces = [] {
        QSet<QString> s;
        for (const char *p : kDemoPlaces)
            s.insert(QString::fromLatin1(p));
        return s;
    }();

    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString county = table.displayName(p);
        QList<StationRecord> records;
        if (options.full) {
            for (int n = 0; n < RecordsPerFile; ++n)
                records << station(maker, rng, county, today, true);
        } else if (demoPlaces.contains(county)) {
            const int count = 3 + int(maker.pick(10));
            for (int n = 0; n < count; ++n) {
                if (n > 0 && maker.pick(6) == 0) {
                    StationRecord vacant = marker(StationRecord::VacantMarker());
                    vacant.LastDate = ShortDate(today.addDays(-int(maker.pick(400))));
                    records << vacant;
                    continue;
                }
                records << station(maker, rng, county, today, false);
            }
            if (table.isHomeCounty(county) && maker.pick(3) == 0) {
                StationRecord eoc = station(maker, rng, county, today, false);
                eoc.Name = QStringLiteral("CNTY EOC");
                eoc.LastDate = ShortDate(today.addDays(-900));
                records << eoc;
            }
            // Room to add members, then the end marker the installed files carry.
            for (int n = 0; n < 5; ++n)
                records << StationRecord::blank();
            records << marker(StationRecord::EndMarker());
        } else if (p % 3 == 0) {
            records << marker(StationRecord::VacantMarker()) << marker(StationRecord::EndMarker());
        } else {
            records << marker(StationRecord::EndMarker());
        }
        // By name, not by position: the file table keeps Arkansas before Arizona.
        if (!writeFile(table.CountyFilePath(county), records, error))
            return false;
    }

    const QString userData = InitUserDataFolder(paths);
    for (const Status &installed :
        { InstallSupportFiles(userData), InstallProgramFiles(paths.programFolder()) }) {
        if (!installed) {
            if (error)
                *error = installed.error();
            return false;
        }
    }

    SettingsStore settings(paths);
    if (!settings.save(QStringLiteral("Settings"), QStringLiteral("dBDate"), ShortDate(today))) {
        if (error)
            *error = QStringLiteral("cannot write the settings store");
        return false;
    }
    return true;
}
