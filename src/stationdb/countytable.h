#pragma once

#include "result.h"

#include <QString>
#include <QStringList>
#include <array>

// The table of the 116 station files: positions 1 to 67 are the home state's counties,
// 68 to 116 the other states and the federal district. Positions 0 and 117 stay empty; the
// COUNTIES list shows its two pseudo-entries there.
class CountyTable
{
public:
    static constexpr int Size = 118;
    static constexpr int First = 1;
    static constexpr int Last = 116;
    static constexpr int HomeCounties = 67;

    explicit CountyTable(QString dataFolder = QString());

    void setDataFolder(const QString &dataFolder) { m_dataFolder = dataFolder; }
    const QString &dataFolder() const { return m_dataFolder; }

    // Sets the data file names of positions 1 to 116 ("Autauga.dat" ... "Wyoming.dat").
    void FillCountyFileNames();
    // Sets the display name of one position: the display table is alphabetical, so it
    // differs from the file table where the file table keeps Arkansas before Arizona.
    void FillDisplayName(int position);
    void FillDisplayNames();

    QString fileName(int position) const;
    QString displayName(int position) const;
    // DataFolder + the data file name of a position.
    QString filePath(int position) const;

    // The file of a display name: walks the file table in order and compares the upper-cased
    // base name exactly (case-sensitive). Empty when nothing matches.
    QString CountyFilePath(const QString &displayName) const;
    // True at the first of records 1 to 100 whose trimmed call begins with A, K, N or W; an
    // error when the file exists but cannot be read.
    Result<bool> FileHasMembers(const QString &displayName) const;

    // Whether a name is exactly one of the 116 data file names ("Lee.dat"): a name read
    // from anywhere but this table may point anywhere else.
    static bool isDataFileName(const QString &name);

    // Position 1 to 116 of a display name, 0 when it is none.
    int displayPosition(const QString &displayName) const;
    bool isHomeCounty(const QString &displayName) const;

    // The display names as the table defines them, independent of what has been filled.
    static QStringList allDisplayNames();

private:
    QString m_dataFolder;
    std::array<QString, Size> m_fileNames;
    std::array<QString, Size> m_displayNames;
};
