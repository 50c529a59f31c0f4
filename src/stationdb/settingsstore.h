#pragma once

#include <memory>

#include "paths.h"
#include "result.h"

#include <QList>
#include <QString>

// One change of a batch: a value to store, or a key to delete.
struct SettingChange
{
    QString section;
    QString key;
    QString value;
    bool remove = false;

    static SettingChange Set(const QString &section, const QString &key, const QString &value)
    {
        return { section, key, value, false };
    }
    static SettingChange Delete(const QString &section, const QString &key)
    {
        return { section, key, QString(), true };
    }
};

// The per-user store of everything remembered between runs: application, section, key,
// each a text, every value a text. Section and key names are compared without regard to
// case. Nothing is cached, so a value written anywhere is seen by the next read.
//
// Each application's store is one INI file, replaced as a whole on every change, so values
// that belong together are saved as one batch: after a crash or a failed write either all
// of them are stored or none. A file that exists but cannot be read is never written: a
// write built on a failed read would lose everything else the file holds.
class SettingsStore
{
public:
    explicit SettingsStore(const Paths &paths);
    virtual ~SettingsStore() = default;

    static QString App() { return QStringLiteral("VORQ"); }

    // The value (the empty text when it was never written or was deleted), or why the
    // store could not be read.
    virtual Result<QString> ReadSetting(
        const QString &application, const QString &section, const QString &key) const;
    // Applies the changes in order as one replacement of the store: all or none. A batch
    // that changes nothing writes nothing. (The registry knows no batches: there the values
    // are written one by one.)
    virtual Status SaveSettings(const QString &application, const QList<SettingChange> &changes);

    // The value, or the empty text when it was never written, was deleted or the store could
    // not be read (read() tells the last apart).
    QString GetSetting(
        const QString &application, const QString &section, const QString &key) const;
    // Creates or replaces a value.
    Status SaveSetting(const QString &application, const QString &section, const QString &key,
        const QString &value);
    // Removes a value; removing a value that is not there does nothing.
    Status DeleteSetting(const QString &application, const QString &section, const QString &key);

    // Shorthands for the program's own application name.
    QString get(const QString &section, const QString &key) const
    {
        return GetSetting(App(), section, key);
    }
    Result<QString> read(const QString &section, const QString &key) const
    {
        return ReadSetting(App(), section, key);
    }
    Status save(const QString &section, const QString &key, const QString &value)
    {
        return SaveSetting(App(), section, key, value);
    }
    Status remove(const QString &section, const QString &key)
    {
        return DeleteSetting(App(), section, key);
    }
    Status saveAll(const QList<SettingChange> &changes) { return SaveSettings(App(), changes); }

    QString fileOf(const QString &application) const;
    // The store's file when it can be read but this user may not write it (the operator or
    // the system made it read-only), so every change will be refused; empty otherwise, and
    // for the registry.
    QString readOnlyFile(const QString &application) const;

private:
    bool useRegistry() const;

    Paths m_paths;
    struct Cache;
    mutable std::shared_ptr<Cache> m_cache; // the file as last parsed
};
