#pragma once

#include <QString>

// Shared by the import, which writes the licence database, and the lookups that read it.
// A database of another format is refused rather than misread.
inline QString LicenceFormatVersion()
{
    return QStringLiteral("1");
}

// Every Qt SQL connection needs a name of its own.
QString UniqueSqlConnectionName(const char *purpose);
