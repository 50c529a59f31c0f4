#include "licenceimport.h"

#include "licencefields.h"
#include "licenceschema.h"
#include "stationdb/atomicfile.h"
#include "stationdb/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// The three files the lookups need, with the fields read from each (numbered from 1 as
// the published layout numbers them). A line must reach the last field that matters.
enum Table { EN, HD, AM, TableCount };
constexpr std::array<const char *, TableCount> TableNames = { "EN", "HD", "AM" };
constexpr std::array<int, TableCount> FieldsNeeded = { 19, 9, 6 };
enum EnField {
    EnId = 2,
    EnEntity = 8,
    EnFirst = 9,
    EnMiddle = 10,
    EnLast = 11,
    EnStreet = 16,
    EnCity = 17,
    EnState = 18,
    EnZip = 19,
    EnFrn = 23
};
enum HdField { HdId = 2, HdCall = 5, HdStatus = 6, HdGranted = 8, HdExpires = 9 };
enum AmField { AmId = 2, AmClass = 6, AmPrevious = 16 };

constexpr int MalformedNamed = 20;
// The longest published line is under 1 KB; a longer one is damage, and is not held.
constexpr qsizetype MaxLineBytes = 4096;
// Identifiers run to a few million; far beyond that is damage, not a licence.
constexpr qint64 MaxSystemId = 999'999'999'999LL;
// The last step, the join, is this share of the progress bar.
constexpr qint64 JoinShare = 10; // per cent

QString IsoOfNumber(int yyyymmdd)
{
    return yyyymmdd ? DateOfNumber(yyyymmdd).toString(Qt::ISODate) : QString();
}

// Splits a stream of blocks into lines: CR, LF and CR LF each end one, also when a block
// ends between the CR and the LF. A line longer than MaxLineBytes is not kept, only told as
// such when it ends, so one endless line costs no memory.
class LineSplitter
{
public:
    // take(lineNumber, line, overlong) for each whole line; its failure stops the split.
    template <typename Take> Status feed(QByteArrayView data, Take &&take)
    {
        while (!data.isEmpty()) {
            if (m_afterCr && data.front() == '\n') {
                m_afterCr = false;
                data = data.sliced(1);
                continue;
            }
            m_afterCr = false;
            const char *begin = data.data(), *stop = begin + data.size();
            const char *hit
                = std::find_if(begin, stop, [](char c) { return c == '\n' || c == '\r'; });
            const qsizetype length = hit - begin;
            if (!m_overlong && m_carry.size() + length > MaxLineBytes) {
                m_overlong = true;
                m_carry.clear();
            }
            if (hit == stop) {
                if (!m_overlong)
                    m_carry += data;
                return Status::Ok();
            }
            m_afterCr = *hit == '\r';
            Status s = endLine(data.first(length), take);
            data = data.sliced(length + 1);
            if (!s)
                return s;
        }
        return Status::Ok();
    }

    // The last line, when the stream does not end with a line end.
    template <typename Take> Status finish(Take &&take)
    {
        if (m_carry.isEmpty() && !m_overlong)
            return Status::Ok();
        return endLine(QByteArrayView(), take);
    }

    qint64 lineNumber() const { return m_lineNumber; }

private:
    template <typename Take> Status endLine(QByteArrayView tail, Take &take)
    {
        ++m_lineNumber;
        Status s = Status::Ok();
        if (m_overlong)
            s = take(m_lineNumber, QByteArrayView(), true);
        else if (m_carry.isEmpty())
            s = take(m_lineNumber, tail, false);
        else
            s = take(m_lineNumber, QByteArrayView(m_carry += tail), false);
        m_carry.clear();
        m_overlong = false;
        return s;
    }

    QByteArray m_carry;
    qint64 m_lineNumber = 0;
    bool m_overlong = false;
    bool m_afterCr = false;
};

// How many licences the database in use holds; 0 when there is none or it cannot be read.
qint64 LicencesInUse(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return 0;
    const QString connection = UniqueSqlConnectionName("in-use");
    qint64 count = 0;
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        d.setDatabaseName(path);
        d.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (d.open()) {
            QSqlQuery q(d);
            if (q.exec(QStringLiteral("SELECT count(*) FROM licences")) && q.next())
                count = q.value(0).toLongLong();
        }
        d.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return count;
}

QString RandomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QChar::fromLatin1(letters[QRandomGenerator::global()->bounded(36)]);
    return s;
}

class Importer
{
public:
    Importer(const QString &zip, const QString &target, const LicenceImportProgress &progress,
        const LicenceShrinkQuestion &confirmShrink)
        : m_zip(zip)
        , m_target(target)
        , m_progress(progress)
        , m_confirmShrink(confirmShrink)
        , m_connection(UniqueSqlConnectionName("import"))
        , m_lock(QFileInfo(target).absolutePath() + u'/' + Paths::licenceImportLockName())
    {
        const QString marker = TemporaryFileMarker();
        m_newFile = target + marker + RandomSuffix();
        m_stageFile = target + marker + RandomSuffix();
    }

    ~Importer()
    {
        closeDatabase();
        if (m_archive)
            archive_read_free(m_archive);
        QFile::remove(m_stageFile);
        if (!m_replaced)
            QFile::remove(m_newFile);
    }

    Result<LicenceImportReport> run()
    {
        if (!QFileInfo(m_zip).isFile())
            return Status::Error(FileError(m_zip, QStringLiteral("no such file")));
        m_zipSize = QFileInfo(m_zip).size();
        const QString folder = QFileInfo(m_target).absolutePath();
        if (!QDir().mkpath(folder))
            return Status::Error(FileError(folder, QStringLiteral("cannot create the folder")));
        if (Status s = CheckWritable(m_target); !s)
            return s;
        if (Status s = lock(); !s)
            return s;
        if (Status s = openDatabase(); !s)
            return s;
        if (Status s = readZip(); !s)
            return s;
        for (int t = 0; t < TableCount; ++t) {
            if (!m_seen[size_t(t)])
                return Status::Error(FileError(m_zip,
                    QStringLiteral("no %1.dat in the zip: not the amateur licence file")
                        .arg(QLatin1StringView(TableNames[size_t(t)]))));
        }
        if (Status s = join(); !s)
            return s;
        if (Status s = finish(); !s)
            return s;
        return m_report;
    }

private:
    Status sqlError(const QSqlQuery &q) const
    {
        return Status::Error(FileError(m_newFile, q.lastError().text()));
    }

    Status exec(const QString &sql)
    {
        QSqlQuery q(db());
        return q.exec(sql) ? Status::Ok() : sqlError(q);
    }

    QSqlDatabase db() const { return QSqlDatabase::database(m_connection, false); }

    // One import at a time builds beside a database: a second one (a timer's beside the
    // window's) would clear the first one's files away, or replace the database under it.
    Status lock()
    {
        m_lock.setStaleLockTime(0); // an import runs for minutes; only a dead one is stale
        if (!m_lock.tryLock(0)) {
            qint64 pid = 0;
            QString host, app;
            m_lock.getLockInfo(&pid, &host, &app);
            return Status::Error(FileError(m_target,
                m_lock.error() == QLockFile::LockFailedError
                    ? QStringLiteral("another import of the licence database is running "
                                     "(process %1 on %2)")
                          .arg(pid)
                          .arg(host)
                    : QStringLiteral("cannot create the lock %1").arg(m_lock.fileName())));
        }
        // What an import that was killed left: no live process holds it now.
        const QFileInfo target(m_target);
        const QFileInfoList leftovers = target.dir().entryInfoList(
            { target.fileName() + TemporaryFileMarker() + u'*' }, QDir::Files | QDir::Hidden);
        for (const QFileInfo &file : leftovers) {
            if (!file.isSymLink())
                QFile::remove(file.filePath());
        }
        return Status::Ok();
    }

    Status openDatabase()
    {
        QFile::remove(m_newFile);
        {
            QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
            d.setDatabaseName(m_newFile);
            if (!d.open())
                return Status::Error(FileError(m_newFile, d.lastError().text()));
        }
        m_dbOpen = true;
        // Nothing here needs a journal: a failed import throws the file away whole.
        const QStringList setup = {
            QStringLiteral("PRAGMA journal_mode = OFF"),
            QStringLiteral("PRAGMA synchronous = OFF"),
            QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"),
            QStringLiteral("PRAGMA cache_size = -65536"),
            QStringLiteral("ATTACH DATABASE '%1' AS stage")
                .arg(QString(m_stageFile).replace(u'\'', QStringLiteral("''"))),
            QStringLiteral("PRAGMA stage.journal_mode = OFF"),
            QStringLiteral("PRAGMA stage.synchronous = OFF"),
            QStringLiteral("PRAGMA stage.cache_size = -32768"),
            QStringLiteral("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)"),
            QStringLiteral("CREATE TABLE licences (call TEXT PRIMARY KEY, rank INTEGER, "
                           "first TEXT, mi TEXT, last TEXT, entity TEXT, street TEXT, city TEXT, "
                           "state TEXT, zip TEXT, frn TEXT, status TEXT, granted TEXT, "
                           "expires TEXT, class TEXT, previous TEXT) WITHOUT ROWID"),
            QStringLiteral("CREATE TABLE stage.en (id INTEGER PRIMARY KEY, first TEXT, mi TEXT, "
                           "last TEXT, entity TEXT, street TEXT, city TEXT, state TEXT, "
                           "zip TEXT, frn TEXT)"),
            QStringLiteral("CREATE TABLE stage.hd (id INTEGER PRIMARY KEY, call TEXT, "
                           "status TEXT, granted TEXT, expires TEXT, rank INTEGER)"),
            QStringLiteral(
                "CREATE TABLE stage.am (id INTEGER PRIMARY KEY, class TEXT, previous TEXT)"),
            QStringLiteral("BEGIN"),
        };
        for (const QString &sql : setup) {
            if (Status s = exec(sql); !s)
                return s;
        }
        const std::array<QString, TableCount> inserts = {
            QStringLiteral("INSERT OR REPLACE INTO stage.en VALUES (?,?,?,?,?,?,?,?,?,?)"),
            QStringLiteral("INSERT OR REPLACE INTO stage.hd VALUES (?,?,?,?,?,?)"),
            QStringLiteral("INSERT OR REPLACE INTO stage.am VALUES (?,?,?)"),
        };
        for (int t = 0; t < TableCount; ++t) {
            m_insert[size_t(t)] = std::make_unique<QSqlQuery>(db());
            if (!m_insert[size_t(t)]->prepare(inserts[size_t(t)]))
                return sqlError(*m_insert[size_t(t)]);
        }
        return Status::Ok();
    }

    void closeDatabase()
    {
        if (!m_dbOpen)
            return;
        for (auto &q : m_insert)
            q.reset();
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
        m_dbOpen = false;
    }

    bool tell(qint64 done, qint64 total) { return !m_progress || m_progress(done, total); }

    qint64 readShare() const { return m_zipSize * (100 - JoinShare) / 100; }

    Status archiveError(const QString &where) const
    {
        const char *reason = archive_error_string(m_archive);
        return Status::Error(FileError(m_zip,
            (where.isEmpty() ? QString() : where + QStringLiteral(": "))
                + (reason ? QString::fromLocal8Bit(reason) : QStringLiteral("damaged zip"))));
    }

    Status readZip()
    {
        m_archive = archive_read_new();
        archive_read_support_format_zip(m_archive);
        if (archive_read_open_filename(m_archive, QFile::encodeName(m_zip).constData(), 1 << 16)
            != ARCHIVE_OK)
            return archiveError(QString());
        for (;;) {
            archive_entry *entry = nullptr;
            const int r = archive_read_next_header(m_archive, &entry);
            if (r == ARCHIVE_EOF)
                return Status::Ok();
            if (r < ARCHIVE_WARN)
                return archiveError(QString());
            const QString name
                = QFileInfo(QString::fromUtf8(archive_entry_pathname(entry))).fileName();
            int table = -1;
            for (int t = 0; t < TableCount; ++t) {
                if (name.compare(QLatin1StringView(TableNames[size_t(t)]) + QStringLiteral(".dat"),
                        Qt::CaseInsensitive)
                    == 0)
                    table = t;
            }
            if (table < 0 || archive_entry_filetype(entry) != AE_IFREG)
                continue; // the next header skips the data
            m_seen[size_t(table)] = true;
            if (archive_entry_mtime_is_set(entry)) {
                const QDate date = QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry)).date();
                if (date.year() >= 1990 && (!m_fileDate.isValid() || date > m_fileDate))
                    m_fileDate = date;
            }
            if (Status s = readEntry(table, name); !s)
                return s;
        }
    }

    Status readEntry(int table, const QString &name)
    {
        LineSplitter lines;
        auto take = [&](qint64 number, QByteArrayView line, bool overlong) {
            if (!overlong)
                return takeLine(table, name, number, line);
            malformed(name, number, QStringLiteral("longer than %1 bytes").arg(MaxLineBytes));
            return Status::Ok();
        };
        for (;;) {
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(m_archive, &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            // A bad checksum is only a warning to the library; here it is a damaged file.
            if (r != ARCHIVE_OK)
                return archiveError(
                    QStringLiteral("%1 after line %2").arg(name).arg(lines.lineNumber()));
            if (Status s = lines.feed(
                    QByteArrayView(static_cast<const char *>(block), qsizetype(size)), take);
                !s)
                return s;
            if (!tell(
                    archive_filter_bytes(m_archive, -1) * readShare() / qMax<qint64>(1, m_zipSize),
                    m_zipSize))
                return Status::Error(LicenceImportCancelledText());
        }
        return lines.finish(take);
    }

    void malformed(const QString &name, qint64 line, const QString &reason)
    {
        ++m_report.malformedLines;
        if (m_report.malformed.size() < MalformedNamed)
            m_report.malformed << QStringLiteral("%1:%2: %3").arg(name).arg(line).arg(reason);
    }

    Status takeLine(int table, const QString &name, qint64 lineNumber, QByteArrayView line)
    {
        m_fields.split(line);
        if (m_fields.count() == 1 && m_fields.at(1).trimmed().isEmpty())
            return Status::Ok(); // an empty line, as at the end of a file
        const char *type = TableNames[size_t(table)];
        if (m_fields.at(1) != QByteArrayView(type)) {
            malformed(
                name, lineNumber, QStringLiteral("not a %1 line").arg(QLatin1StringView(type)));
            return Status::Ok();
        }
        if (m_fields.count() < FieldsNeeded[size_t(table)]) {
            malformed(name, lineNumber,
                QStringLiteral("%1 fields, at least %2 needed")
                    .arg(m_fields.count())
                    .arg(FieldsNeeded[size_t(table)]));
            return Status::Ok();
        }
        bool numeric = false;
        const qint64 id = m_fields.at(2).trimmed().toLongLong(&numeric);
        if (!numeric || id <= 0) {
            malformed(name, lineNumber, QStringLiteral("no system identifier"));
            return Status::Ok();
        }
        if (id > MaxSystemId) {
            malformed(name, lineNumber, QStringLiteral("system identifier out of range"));
            return Status::Ok();
        }
        QSqlQuery &q = *m_insert[size_t(table)];
        int i = 0;
        auto bind = [&](const QVariant &v) { q.bindValue(i++, v); };
        bind(id);
        switch (table) {
        case EN:
            for (int f :
                { EnFirst, EnMiddle, EnLast, EnEntity, EnStreet, EnCity, EnState, EnZip, EnFrn })
                bind(m_fields.text(f));
            break;
        case HD: {
            const QString call = m_fields.text(HdCall).toUpper();
            if (call.isEmpty()) {
                malformed(name, lineNumber, QStringLiteral("no call sign"));
                return Status::Ok();
            }
            const QString status = m_fields.text(HdStatus).toUpper();
            const int granted = LicenceDateNumber(m_fields.at(HdGranted));
            // The newest active licence wins; a call with none keeps its newest licence.
            const qint64 rank = (status == QStringLiteral("A") ? 1 : 0) * 10'000'000'000'000'000LL
                + qint64(granted) * 100'000'000LL + id % 100'000'000LL;
            bind(call);
            bind(status);
            bind(IsoOfNumber(granted));
            bind(IsoOfNumber(LicenceDateNumber(m_fields.at(HdExpires))));
            bind(rank);
            break;
        }
        case AM:
            bind(m_fields.text(AmClass).toUpper());
            bind(m_fields.text(AmPrevious).toUpper());
            break;
        }
        if (!q.exec())
            return sqlError(q);
        return Status::Ok();
    }

    Status join()
    {
        QSqlQuery range(db());
        if (!range.exec(QStringLiteral("SELECT min(id), max(id) FROM stage.hd")))
            return sqlError(range);
        if (!range.next() || range.value(0).isNull())
            return Status::Ok(); // no licence at all: an empty database
        const qint64 low = range.value(0).toLongLong(), high = range.value(1).toLongLong();
        range = QSqlQuery();
        // In slices of identifiers, so a cancel is heard and the bar moves during the join.
        constexpr qint64 Slices = 40;
        const qint64 step = (high - low) / Slices + 1;
        QSqlQuery q(db());
        if (!q.prepare(QStringLiteral(
                "INSERT INTO licences SELECT h.call, h.rank, e.first, e.mi, e.last, e.entity, "
                "e.street, e.city, e.state, e.zip, e.frn, h.status, h.granted, h.expires, "
                "a.class, a.previous FROM stage.hd h LEFT JOIN stage.en e ON e.id = h.id "
                "LEFT JOIN stage.am a ON a.id = h.id WHERE h.id BETWEEN ? AND ? "
                "ON CONFLICT(call) DO UPDATE SET rank = excluded.rank, first = excluded.first, "
                "mi = excluded.mi, last = excluded.last, entity = excluded.entity, "
                "street = excluded.street, city = excluded.city, state = excluded.state, "
                "zip = excluded.zip, frn = excluded.frn, status = excluded.status, "
                "granted = excluded.granted, expires = excluded.expires, "
                "class = excluded.class, previous = excluded.previous "
                "WHERE excluded.rank > licences.rank")))
            return sqlError(q);
        // Counted by slice, not by identifier: no sum here can pass the largest number.
        for (qint64 slice = 0; slice <= Slices && low + slice * step <= high; ++slice) {
            const qint64 from = low + slice * step;
            q.bindValue(0, from);
            q.bindValue(1, from + step - 1);
            if (!q.exec())
                return sqlError(q);
            if (!tell(readShare() + (m_zipSize - readShare()) * slice / Slices, m_zipSize))
                return Status::Error(LicenceImportCancelledText());
        }
        return Status::Ok();
    }

    Status finish()
    {
        if (!m_fileDate.isValid())
            m_fileDate = QFileInfo(m_zip).lastModified().date();
        m_report.fileDate = m_fileDate;
        {
            QSqlQuery count(db());
            if (!count.exec(QStringLiteral("SELECT count(*) FROM licences")) || !count.next())
                return sqlError(count);
            m_report.licences = count.value(0).toLongLong();
        }
        // A file that yields nothing, or far less than the database in use, is more likely
        // damaged or the wrong file than a net whose licences vanished overnight.
        const qint64 inUse = LicencesInUse(m_target);
        if ((m_report.licences == 0 || m_report.licences * 2 < inUse)
            && !(m_confirmShrink && m_confirmShrink(m_report.licences, inUse)))
            return Status::Error(FileError(m_zip,
                QStringLiteral("it yields %1 licences, the database in use holds %2")
                    .arg(m_report.licences)
                    .arg(inUse)));
        QSqlQuery meta(db());
        if (!meta.prepare(QStringLiteral("INSERT INTO meta VALUES (?, ?)")))
            return sqlError(meta);
        const QList<std::pair<QString, QString>> values = {
            { QStringLiteral("format"), LicenceFormatVersion() },
            { QStringLiteral("file_date"), m_fileDate.toString(Qt::ISODate) },
            { QStringLiteral("source"), QFileInfo(m_zip).fileName() },
            { QStringLiteral("malformed_lines"), QString::number(m_report.malformedLines) },
        };
        for (const auto &[key, value] : values) {
            meta.bindValue(0, key);
            meta.bindValue(1, value);
            if (!meta.exec())
                return sqlError(meta);
        }
        meta = QSqlQuery();
        for (auto &q : m_insert)
            q.reset();
        if (Status s = exec(QStringLiteral("COMMIT")); !s)
            return s;
        if (Status s = exec(QStringLiteral("DETACH DATABASE stage")); !s)
            return s;
        closeDatabase();
        QFile::remove(m_stageFile);
        if (!tell(m_zipSize, m_zipSize))
            return Status::Error(LicenceImportCancelledText());
        if (Status s = SyncAndReplaceFile(m_newFile, m_target); !s)
            return s;
        m_replaced = true;
        return Status::Ok();
    }

    QString m_zip, m_target, m_newFile, m_stageFile;
    const LicenceImportProgress &m_progress;
    const LicenceShrinkQuestion &m_confirmShrink;
    QString m_connection;
    QLockFile m_lock;
    bool m_dbOpen = false, m_replaced = false;
    qint64 m_zipSize = 0;
    archive *m_archive = nullptr;
    std::array<std::unique_ptr<QSqlQuery>, TableCount> m_insert;
    std::array<bool, TableCount> m_seen {};
    PipeFields m_fields;
    QDate m_fileDate;
    LicenceImportReport m_report;
};

} // namespace

QString LicenceImportCancelledText()
{
    return QStringLiteral("the import was cancelled; the previous licence database stays in use");
}

Result<LicenceImportReport> ImportLicenceZip(const QString &zipPath, const QString &databasePath,
    const LicenceImportProgress &progress, const LicenceShrinkQuestion &confirmShrink)
{
    Importer importer(zipPath, databasePath, progress, confirmShrink);
    return importer.run();
}
