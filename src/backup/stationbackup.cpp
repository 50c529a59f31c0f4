#include "stationbackup.h"

#include "stationdb/atomicfile.h"
#include "stationdb/countytable.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString inFolder(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

bool sameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

QStringList StationFileNames(const CountyTable &table)
{
    QStringList names;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        names << table.fileName(p);
    return names;
}

Status CopyFileWhole(const QString &from, const QString &to)
{
    // A link in the target's place could lead anywhere (another file of the operator's, a
    // system file): it is never written through.
    if (QFileInfo(to).isSymLink())
        return Status::Error(
            FileError(to, QStringLiteral("a link stands in the file's place; it is not followed")));
    const Result<QByteArray> bytes = ReadWholeFile(from);
    if (!bytes)
        return bytes.status();
    if (const Status written = WriteFileAtomically(to, *bytes); !written)
        return written;
    // What arrived must be all of it.
    if (QFileInfo(to).size() != bytes->size())
        return Status::Error(FileError(to, QStringLiteral("the copy is incomplete")));
    return Status::Ok();
}

CopyReport BackupStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &destination, const CopyProgress &progress)
{
    CopyReport report;
    if (destination.trimmed().isEmpty()) {
        report.failure = Status::Error(QStringLiteral("no folder given"));
        return report;
    }
    // A relative path would land wherever the program happened to be started.
    if (QDir::isRelativePath(destination)) {
        report.failure = Status::Error(FileError(destination,
            QStringLiteral("not a full path; enter the whole path of the folder, from the top")));
        return report;
    }
    if (!QDir().mkpath(destination)) {
        report.failure
            = Status::Error(FileError(destination, QStringLiteral("the folder cannot be made")));
        return report;
    }
    if (sameFolder(destination, dataFolder)) {
        report.failure = Status::Error(
            FileError(destination, QStringLiteral("this is the data folder itself")));
        return report;
    }
    const QStringList names = StationFileNames(table);
    for (int i = 0; i < names.size(); ++i) {
        if (progress)
            progress(i + 1);
        const QString source = inFolder(dataFolder, names[i]);
        if (!QFileInfo::exists(source)) {
            ++report.missing;
            continue;
        }
        if (const Status copied = CopyFileWhole(source, inFolder(destination, names[i])); !copied) {
            report.failure = copied;
            return report;
        }
        ++report.copied;
    }
    return report;
}

CopyReport RestoreStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &source, const QStringList &names, const QString &safetyFolder,
    const CopyProgress &progress)
{
    CopyReport report;
    const QStringList wanted = names.isEmpty() ? StationFileNames(table) : names;
    QStringList present;
    for (const QString &name : wanted) {
        if (QFileInfo(inFolder(source, name)).isFile())
            present << name;
        else
            ++report.missing;
    }
    if (present.isEmpty()) {
        report.failure
            = Status::Error(FileError(source, QStringLiteral("no station file to restore here")));
        return report;
    }
    if (sameFolder(source, dataFolder)) {
        report.failure
            = Status::Error(FileError(source, QStringLiteral("this is the data folder itself")));
        return report;
    }
    if (!safetyFolder.isEmpty()) {
        // Each live file about to be replaced is kept first, so any restore can be undone.
        if (!QDir().mkpath(safetyFolder)) {
            report.failure = Status::Error(
                FileError(safetyFolder, QStringLiteral("the folder cannot be made")));
            return report;
        }
        for (const QString &name : present) {
            const QString live = inFolder(dataFolder, name);
            if (!QFileInfo::exists(live))
                continue;
            if (const Status kept = CopyFileWhole(live, inFolder(safetyFolder, name)); !kept) {
                report.failure = Status::Error(
                    QStringLiteral("the current files could not be kept: ") + kept.error());
                return report;
            }
        }
        report.safetyFolder = safetyFolder;
    }
    for (int i = 0; i < present.size(); ++i) {
        if (progress)
            progress(i + 1);
        if (const Status copied
            = CopyFileWhole(inFolder(source, present[i]), inFolder(dataFolder, present[i]));
            !copied) {
            report.failure = copied;
            return report;
        }
        ++report.copied;
    }
    return report;
}
