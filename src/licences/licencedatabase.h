#pragma once

#include "stationdb/result.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

class Paths;

// What the US licence database knows of one call: its newest active licence, or, when it
// has none, its newest licence of any status.
struct Licence
{
    QString call;
    QString firstName, middleInitial, lastName, entityName;
    QString street, city, state, zip, frn;
    QChar status; // A active, E expired, C cancelled, T terminated
    QDate granted, expires;
    QChar operatorClass; // E, A, G, T, N, P
    QString previousCall;

    // "JOHN SMITH", or the entity's name (a club) when the licence names no person.
    QString displayName() const;
    // "GENERAL"; empty for a class the files do not give.
    QString className() const;
    // "EXPIRED", "CANCELLED", "TERMINATED"; empty for an active licence within its term.
    QString lapse(QDate today) const;
};

// Where the licence database lives: Licences/licences.sqlite under the program folder.
QString LicenceDatabasePath(const Paths &paths);

// Read access to the licence database, which an import replaces as a whole. The file is
// opened at the first question and opened again when an import has put a new one in its
// place, so a long net sees the new data without a restart.
class LicenceDatabase
{
public:
    explicit LicenceDatabase(QString path);
    ~LicenceDatabase();
    LicenceDatabase(const LicenceDatabase &) = delete;
    LicenceDatabase &operator=(const LicenceDatabase &) = delete;

    const QString &path() const { return m_path; }
    // False when no database was imported yet: nothing can be judged.
    bool exists() const;
    // The licence of a call; no value when the database holds none for it.
    Result<std::optional<Licence>> find(const QString &call);
    // The date of the file the database was made from.
    Result<QDate> fileDate();

private:
    Status ensureOpen();
    void close();

    QString m_path;
    QString m_connection;
    QDateTime m_openedModified;
    qint64 m_openedSize = -1;
    bool m_open = false;
};

// The status line's word on the database's age, when the file is more than 30 days old:
// "LICENCE DATABASE IS 45 DAYS OLD". Empty otherwise.
QString LicenceAgeNotice(QDate fileDate, QDate today);
