#include "demodatabase.h"

#include "platform/clock.h"
#include "session/sessionjournal.h"
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
#include <QFileInfo>
#include <QRandomGenerator>
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

namespace {

// The clock a written session's events are stamped with.
class SetClock : public Clock
{
public:
    QDateTime now() const override { return at; }
    QDateTime at;
};

} // namespace

bool WriteDemoSessions(
    const Paths &paths, const QDate &today, int months, int perMonth, QString *error)
{
    if (!QDir().mkpath(paths.sessionsFolder())) {
        if (error)
            *error = paths.sessionsFolder() + QStringLiteral(": cannot be made");
        return false;
    }
    const QStringList netControls { QStringLiteral("ARLO"), QStringLiteral("BEATRIX"),
        QStringLiteral("CYRUS"), QStringLiteral("DELPHA"), QStringLiteral("EZRA"),
        QStringLiteral("FLORA"), QStringLiteral("GIDEON") };
    CountyTable table;
    table.FillCountyFileNames();
    QRandomGenerator random(20261208);
    SetClock clock;
    const QDate first(today.year(), today.month(), 1);
    for (int back = months - 1; back >= 0; --back) {
        const QDate month = first.addMonths(-back);
        for (int day = 1; day <= std::min(perMonth, month.daysInMonth()); ++day) {
            const QDate date(month.year(), month.month(), day);
            if (date > today)
                break;
            clock.at = QDateTime(date, QTime(19, 0));
            SessionJournal journal(paths, clock);
            const QString nc = netControls[date.dayOfWeek() - 1];
            journal.begin(nc, QStringLiteral("K4") + nc.left(3), QStringLiteral("EARLY"));
            const int checkins = 8 + int(random.bounded(33));
            for (int entry = 1; entry <= checkins; ++entry) {
                clock.at = clock.at.addSecs(50);
                const int county = 1 + int(random.bounded(CountyTable::HomeCounties));
                SessionEvent e;
                e.kind = SessionEvent::Kind::Checkin;
                e.entry = entry;
                e.call = QStringLiteral("K4%1%2")
                             .arg(QChar(u'A' + county % 26))
                             .arg(QChar(u'A' + entry % 26));
                e.file = table.fileName(county);
                e.record = 1 + entry % 20;
                e.name = QStringLiteral("MEMBER");
                e.county = QFileInfo(e.file).completeBaseName().toUpper();
                e.line = e.call;
                journal.record(e);
            }
            for (int count = 1; count <= int(random.bounded(4)); ++count) {
                SessionEvent e;
                e.kind = SessionEvent::Kind::Traffic;
                e.marked = true;
                e.count = count;
                journal.record(e);
            }
            clock.at = QDateTime(date, QTime(19, 30)).addSecs(60 * int(random.bounded(21)));
            if (const Result<QString> finished = journal.finish(); !finished) {
                if (error)
                    *error = finished.error();
                return false;
            }
        }
    }
    return true;
}
