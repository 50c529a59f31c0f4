#include "licenceimport.h"

#include "licencefields.h"
#include "licenceschema.h"
#include "stationdb/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <archive.h>
#include <archive_entry.h>

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
// The last step, the join, is this share of the progress bar.
constexpr qint64 JoinShare = 10; // per cent

QString IsoOfNumber(int yyyymmdd)
{
    return yyyymmdd ? DateOfNumber(yyyymmdd).toString(Qt::ISODate) : QString();
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
    Importer(const QString &zip, const QString &target, const LicenceImportProgress &progress)
        : m_zip(zip)
        , m_target(target)
        , m_progress(progress)
        , m_connection(UniqueSqlConnectionName("import"))
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
        QByteArray carry;
        qint64 lineNumber = 0;
        for (;;) {
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(m_archive, &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            // A bad checksum is only a warning to the library; here it is a damaged file.
            if (r != ARCHIVE_OK)
                return archiveError(QStringLiteral("%1 after line %2").arg(name).arg(lineNumber));
            QByteArrayView data(static_cast<const char *>(block), qsizetype(size));
            while (!data.isEmpty()) {
                const qsizetype end = data.indexOf('\n');
                if (end < 0) {
                    carry += data;
                    break;
                }
                ++lineNumber;
                Status s = Status::Ok();
                if (carry.isEmpty()) {
                    s = takeLine(table, name, lineNumber, data.first(end));
                } else {
                    carry += data.first(end);
                    s = takeLine(table, name, lineNumber, carry);
                    carry.clear();
                }
                if (!s)
                    return s;
                data = data.sliced(end + 1);
            }
            if (!tell(
                    archive_filter_bytes(m_archive, -1) * readShare() / qMax<qint64>(1, m_zipSize),
                    m_zipSize))
                return Status::Error(LicenceImportCancelledText());
        }
        if (!carry.isEmpty())
            return takeLine(table, name, lineNumber + 1, carry);
        return Status::Ok();
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
        for (qint64 from = low, slice = 0; from <= high; from += step, ++slice) {
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
    QString m_connection;
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

Result<LicenceImportReport> ImportLicenceZip(
    const QString &zipPath, const QString &databasePath, const LicenceImportProgress &progress)
{
    Importer importer(zipPath, databasePath, progress);
    return importer.run();
}
