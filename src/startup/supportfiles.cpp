#include "supportfiles.h"

#include "stationdb/atomicfile.h"

#include <QDir>
#include <QFile>

namespace {

struct Bundled
{
    const char *resource;
    const char *name;
};

const Bundled kSupportFiles[] = {
    { ":/texts/VorqPreamble.txt", "VorqPreamble.txt" },
    { ":/texts/VorqInst.txt", "VorqInst.txt" },
    { ":/texts/AltNC.txt", "AltNC.txt" },
    { ":/sounds/IDTime.wav", "IDTime.wav" },
    { ":/sounds/home.wav", "home.wav" },
    { ":/sounds/merryxmas.wav", "merryxmas.wav" },
    { ":/pictures/Xmas-0.gif", "Xmas-0.gif" },
    { ":/pictures/Xmas-1.gif", "Xmas-1.gif" },
    { ":/pictures/Xmas-2.gif", "Xmas-2.gif" },
};

const Bundled kProgramFiles[] = {
    { ":/sounds/ding.wav", "ding.wav" },
};

template <std::size_t N> Status install(const Bundled (&files)[N], const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return Status::Error(QStringLiteral("cannot create the folder %1").arg(folder));
    Status result;
    for (const Bundled &file : files) {
        const QString target = QDir(folder).filePath(QString::fromLatin1(file.name));
        if (QFile::exists(target))
            continue;
        QFile source(QString::fromLatin1(file.resource));
        if (!source.open(QIODevice::ReadOnly)) {
            result = Status::Error(FileError(source.fileName(), source.errorString()));
            continue;
        }
        if (Status written = WriteFileAtomically(target, source.readAll()); !written)
            result = std::move(written);
    }
    return result;
}

} // namespace

Status InstallSupportFiles(const QString &userDataFolder)
{
    return install(kSupportFiles, userDataFolder);
}

Status InstallProgramFiles(const QString &programFolder)
{
    return install(kProgramFiles, programFolder);
}

QStringList SupportFileNames()
{
    QStringList names;
    for (const Bundled &file : kSupportFiles)
        names << QString::fromLatin1(file.name);
    return names;
}
