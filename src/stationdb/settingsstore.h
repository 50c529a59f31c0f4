#pragma once

#include <QString>

#include "platform/paths.h"

// The per-user store of everything remembered between runs: application, section, key,
// each a text, every value a text. Section and key names are compared without regard to
// case. Nothing is cached, so a value written anywhere is seen by the next read.
class SettingsStore
{
public:
    explicit SettingsStore(const Paths &paths);
    virtual ~SettingsStore() = default;

    static QString App() { return QStringLiteral("VORQ"); }

    // The value, or the empty text when it was never written or was deleted.
    virtual QString GetSetting(const QString &application, const QString &section,
                               const QString &key) const;
    // Creates or replaces a value. False when the store could not be written.
    virtual bool SaveSetting(const QString &application, const QString &section,
                             const QString &key, const QString &value);
    // Removes a value; removing a value that is not there does nothing.
    virtual bool DeleteSetting(const QString &application, const QString &section,
                               const QString &key);

    // Shorthands for the program's own application name.
    QString get(const QString &section, const QString &key) const
    {
        return GetSetting(App(), section, key);
    }
    bool save(const QString &section, const QString &key, const QString &value)
    {
        return SaveSetting(App(), section, key, value);
    }
    bool remove(const QString &section, const QString &key)
    {
        return DeleteSetting(App(), section, key);
    }

    QString fileOf(const QString &application) const;
    QString lastError() const { return m_lastError; }

private:
    bool useRegistry() const;

    Paths m_paths;
    mutable QString m_lastError;
};
