#pragma once

#include <QString>

// Every folder and file location of the program. Folder texts end in "/" so that a file
// name can be appended directly, as the program has always built its file names.
class Paths
{
public:
    // VORQ_ROOT when set (portable and training mode, and every test); else the platform's
    // locations.
    static Paths fromEnvironment();
    // Under root when it is given (VORQ_ROOT, --root); else the platform's locations.
    static Paths fromRoot(const QString &root);
    // Everything under one root, as with VORQ_ROOT.
    static Paths underRoot(const QString &root);

    // The program root (C:\VORQ\ on Windows).
    QString root() const { return m_root; }
    QString dataFolder() const { return m_root + QStringLiteral("DatFiles/"); }
    QString programFolder() const { return m_root + QStringLiteral("Version 1/"); }
    QString tempFolder() const { return m_root + QStringLiteral("Temp/"); }
    QString backupFolder() const { return m_root + QStringLiteral("FileBackup/"); }
    // Every record retired or deleted from a station file, kept as text (append-only).
    QString retiredStationsFile() const
    {
        return programFolder() + QStringLiteral("retired-stations.txt");
    }
    // The US licence database and what its import keeps beside it.
    QString licencesFolder() const { return programFolder() + QStringLiteral("Licences/"); }
    // Held by an import of the licence database while it builds the new one beside the old:
    // the file name within the database's folder.
    static QString licenceImportLockName() { return QStringLiteral("import.lock"); }
    // The running session's journal, and the logs and net reports of past sessions.
    QString sessionsFolder() const { return m_root + QStringLiteral("Sessions/"); }
    QString sessionJournal() const { return sessionsFolder() + QStringLiteral("current.journal"); }
    QString sessionLog(const QString &name) const
    {
        return sessionsFolder() + name + QStringLiteral(".log");
    }
    QString netReport(const QString &name) const
    {
        return sessionsFolder() + name + QStringLiteral(".txt");
    }
    // Where the program keeps files that once lived directly on C:\.
    QString driveRoot() const { return m_driveRoot; }
    // The per-user application-data folder that holds the maker folder.
    QString appDataFolder() const { return m_appData; }
    // The settings store's file of one application name ("VORQ", "Pelnet").
    QString settingsFile(const QString &application) const;
    QString settingsFolder() const { return m_settingsFolder; }
    // Held while the program runs, so that one copy at a time works on the root.
    QString lockFile() const { return m_root + QStringLiteral("vorq.lock"); }

    bool isPortable() const { return m_portable; }

private:
    QString m_root;
    QString m_driveRoot;
    QString m_appData;
    QString m_settingsFolder;
    bool m_portable = false;
};

// The per-user data folder's maker folder name.
inline QString MakerFolderName()
{
    return QStringLiteral("Halvorsoft");
}
