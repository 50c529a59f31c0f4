#include "licencedatabase.h"

#include "licenceschema.h"
#include "stationdb/paths.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

QString Licence::displayName() const
{
    QString name = firstName;
    if (!lastName.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(" ")) + lastName;
    return (name.isEmpty() ? entityName : name).toUpper();
}

QString Licence::className() const
{
    switch (operatorClass.unicode()) {
    case 'E':
        return QStringLiteral("EXTRA");
    case 'A':
        return QStringLiteral("ADVANCED");
    case 'G':
        return QStringLiteral("GENERAL");
    case 'T':
        return QStringLiteral("TECHNICIAN");
    case 'N':
        return QStringLiteral("NOVICE");
    case 'P':
        return QStringLiteral("TECHNICIAN PLUS");
    default:
        return QString();
    }
}

QString Licence::lapse(QDate today) const
{
    switch (status.unicode()) {
    case 'A':
        // The weekly file can lag the expiry date: the date decides as well.
        return expires.isValid() && today.isValid() && expires < today ? QStringLiteral("EXPIRED")
                                                                       : QString();
    case 'E':
        return QStringLiteral("EXPIRED");
    case 'C':
        return QStringLiteral("CANCELLED");
    case 'T':
        return QStringLiteral("TERMINATED");
    default:
        return QStringLiteral("NOT ACTIVE");
    }
}

QString LicenceDatabasePath(const Paths &paths)
{
    return paths.licencesFolder() + QStringLiteral("licences.sqlite");
}

QString UniqueSqlConnectionName(const char *purpose)
{
    static QAtomicInt counter;
    return QStringLiteral("vorq-licences-%1-%2")
        .arg(QLatin1StringView(purpose))
        .arg(counter.fetchAndAddRelaxed(1));
}

LicenceDatabase::LicenceDatabase(QString path)
    : m_path(std::move(path))
    , m_connection(UniqueSqlConnectionName("lookup"))
{
}

LicenceDatabase::~LicenceDatabase()
{
    close();
}

bool LicenceDatabase::exists() const
{
    return QFileInfo(m_path).isFile();
}

void LicenceDatabase::close()
{
    if (!m_open)
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

Status LicenceDatabase::ensureOpen()
{
    const QFileInfo info(m_path);
    if (!info.isFile()) {
        close();
        return Status::Error(FileError(m_path, QStringLiteral("no licence database")));
    }
    // An import renames a whole new file into place: a changed size or time is a new file.
    if (m_open && info.lastModified() == m_openedModified && info.size() == m_openedSize)
        return Status::Ok();
    close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            const QString reason = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            return Status::Error(FileError(m_path, reason));
        }
        QSqlQuery check(db);
        if (!check.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'format'"))
            || !check.next() || check.value(0).toString() != LicenceFormatVersion()) {
            const QString reason = check.lastError().isValid()
                ? check.lastError().text()
                : QStringLiteral("not a licence database of this program");
            check = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            return Status::Error(FileError(m_path, reason));
        }
    }
    m_open = true;
    m_openedModified = info.lastModified();
    m_openedSize = info.size();
    return Status::Ok();
}

Result<std::optional<Licence>> LicenceDatabase::find(const QString &call)
{
    if (Status open = ensureOpen(); !open)
        return open;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT call, first, mi, last, entity, street, city, state, zip, "
                             "frn, status, granted, expires, class, previous "
                             "FROM licences WHERE call = ?"));
    q.addBindValue(call.trimmed().toUpper());
    if (!q.exec())
        return Status::Error(FileError(m_path, q.lastError().text()));
    if (!q.next())
        return std::optional<Licence>();
    Licence l;
    l.call = q.value(0).toString();
    l.firstName = q.value(1).toString();
    l.middleInitial = q.value(2).toString();
    l.lastName = q.value(3).toString();
    l.entityName = q.value(4).toString();
    l.street = q.value(5).toString();
    l.city = q.value(6).toString();
    l.state = q.value(7).toString();
    l.zip = q.value(8).toString();
    l.frn = q.value(9).toString();
    const QString status = q.value(10).toString();
    l.status = status.isEmpty() ? QChar() : status.front();
    l.granted = QDate::fromString(q.value(11).toString(), Qt::ISODate);
    l.expires = QDate::fromString(q.value(12).toString(), Qt::ISODate);
    const QString cls = q.value(13).toString();
    l.operatorClass = cls.isEmpty() ? QChar() : cls.front();
    l.previousCall = q.value(14).toString();
    return std::optional<Licence>(l);
}

Result<QDate> LicenceDatabase::fileDate()
{
    if (Status open = ensureOpen(); !open)
        return open;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'file_date'")) || !q.next())
        return Status::Error(FileError(m_path, QStringLiteral("the file's date is missing")));
    const QDate date = QDate::fromString(q.value(0).toString(), Qt::ISODate);
    if (!date.isValid())
        return Status::Error(FileError(m_path, QStringLiteral("the file's date is missing")));
    return date;
}

QString LicenceAgeNotice(QDate fileDate, QDate today)
{
    if (!fileDate.isValid() || !today.isValid())
        return QString();
    const qint64 days = fileDate.daysTo(today);
    return days > 30 ? QStringLiteral("LICENCE DATABASE IS %1 DAYS OLD").arg(days) : QString();
}
