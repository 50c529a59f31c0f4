#include "countytable.h"

#include "stationfile.h"

#include <QFileInfo>

namespace {

// File-table order: the home state's counties, then the other states (Arkansas before
// Arizona, as the installed database has always had them) and the federal district.
const char *const kFileBaseNames[CountyTable::Last] = {
    "Autauga",
    "Baldwin",
    "Barbour",
    "Bibb",
    "Blount",
    "Bullock",
    "Butler",
    "Calhoun",
    "Chambers",
    "Cherokee",
    "Chilton",
    "Choctaw",
    "Clarke",
    "Clay",
    "Cleburne",
    "Coffee",
    "Colbert",
    "Conecuh",
    "Coosa",
    "Covington",
    "Crenshaw",
    "Cullman",
    "Dale",
    "Dallas",
    "Dekalb",
    "Elmore",
    "Escambia",
    "Etowah",
    "Fayette",
    "Franklin",
    "Geneva",
    "Greene",
    "Hale",
    "Henry",
    "Houston",
    "Jackson",
    "Jefferson",
    "Lamar",
    "Lauderdale",
    "Lawrence",
    "Lee",
    "Limestone",
    "Lowndes",
    "Macon",
    "Madison",
    "Marengo",
    "Marion",
    "Marshall",
    "Mobile",
    "Monroe",
    "Montgomery",
    "Morgan",
    "Perry",
    "Pickens",
    "Pike",
    "Randolph",
    "Russell",
    "Shelby",
    "St Clair",
    "Sumter",
    "Talladega",
    "Tallapoosa",
    "Tuscaloosa",
    "Walker",
    "Washington",
    "Wilcox",
    "Winston",
    // 68..116
    "Alaska",
    "Arkansas",
    "Arizona",
    "California",
    "Colorado",
    "Connecticut",
    "Delaware",
    "Florida",
    "Georgia",
    "Hawaii",
    "Idaho",
    "Illinois",
    "Indiana",
    "Iowa",
    "Kansas",
    "Kentucky",
    "Louisiana",
    "Maine",
    "Maryland",
    "Massachusetts",
    "Michigan",
    "Minnesota",
    "Mississippi",
    "Missouri",
    "Montana",
    "Nebraska",
    "Nevada",
    "New Hampshire",
    "New Jersey",
    "New Mexico",
    "New York",
    "North Carolina",
    "North Dakota",
    "Ohio",
    "Oklahoma",
    "Oregon",
    "Pennsylvania",
    "Rhode Island",
    "South Carolina",
    "South Dakota",
    "Tennessee",
    "Texas",
    "Utah",
    "Vermont",
    "Virginia",
    "Washington DC",
    "West Virginia",
    "Wisconsin",
    "Wyoming",
};

constexpr int kArkansasPosition = 69;
constexpr int kArizonaPosition = 70;

QString displayNameOf(int position)
{
    // The display table is alphabetical: it swaps the two file-table entries back.
    int source = position;
    if (position == kArkansasPosition)
        source = kArizonaPosition;
    else if (position == kArizonaPosition)
        source = kArkansasPosition;
    return QString::fromLatin1(kFileBaseNames[source - 1]).toUpper();
}

} // namespace

CountyTable::CountyTable(QString dataFolder)
    : m_dataFolder(std::move(dataFolder))
{
    FillCountyFileNames();
    FillDisplayNames();
}

void CountyTable::FillCountyFileNames()
{
    for (int p = First; p <= Last; ++p)
        m_fileNames[p] = QString::fromLatin1(kFileBaseNames[p - 1]) + QStringLiteral(".dat");
}

void CountyTable::FillDisplayName(int position)
{
    if (position >= First && position <= Last)
        m_displayNames[position] = displayNameOf(position);
}

void CountyTable::FillDisplayNames()
{
    for (int p = First; p <= Last; ++p)
        FillDisplayName(p);
}

QString CountyTable::fileName(int position) const
{
    if (position < 0 || position >= Size)
        return QString();
    return m_fileNames[position];
}

QString CountyTable::displayName(int position) const
{
    if (position < 0 || position >= Size)
        return QString();
    return m_displayNames[position];
}

QString CountyTable::filePath(int position) const
{
    const QString name = fileName(position);
    return name.isEmpty() ? QString() : m_dataFolder + name;
}

QString CountyTable::CountyFilePath(const QString &displayName) const
{
    for (int p = First; p <= Last; ++p) {
        const QString &file = m_fileNames[p];
        const qsizetype dot = file.indexOf(u'.');
        const QString base = (dot < 0 ? file : file.left(dot)).toUpper();
        if (!file.isEmpty() && base == displayName)
            return m_dataFolder + file;
    }
    return QString();
}

Result<bool> CountyTable::FileHasMembers(const QString &displayName) const
{
    const QString path = CountyFilePath(displayName);
    // A file not there yet has no members; asking is no reason to make it.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    // Only the calls matter here; the main window's load asks this of all 116 files.
    const Result<QByteArray> bytes = ReadStationRecords(path);
    if (!bytes)
        return bytes.status();
    for (int n = 1; n <= RecordsPerFile; ++n) {
        const QByteArrayView call = TrimmedCallBytes(*bytes, n);
        if (!call.isEmpty() && QByteArrayView("AKNW").contains(call.front()))
            return true;
    }
    return false;
}

bool CountyTable::isDataFileName(const QString &name)
{
    for (const char *base : kFileBaseNames) {
        if (name == QLatin1StringView(base) + QStringLiteral(".dat"))
            return true;
    }
    return false;
}

int CountyTable::displayPosition(const QString &displayName) const
{
    for (int p = First; p <= Last; ++p) {
        if (displayNameOf(p) == displayName)
            return p;
    }
    return 0;
}

bool CountyTable::isHomeCounty(const QString &displayName) const
{
    const int p = displayPosition(displayName);
    return p >= First && p <= HomeCounties;
}

QStringList CountyTable::allDisplayNames()
{
    QStringList names;
    for (int p = First; p <= Last; ++p)
        names << displayNameOf(p);
    return names;
}
