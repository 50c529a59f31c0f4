#include "stationimport.h"

#include "stationbackup.h"
#include "stationdb/atomicfile.h"
#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

namespace {

// A zip of station files holds the 116 of them and perhaps a few others. Past these bounds it
// is no such zip, and reading on would only cost the operator time and memory.
constexpr int MostEntries = 20000;
// What is unpacked in all: the station files, and the entries whose length the zip does not
// give, which can only be passed by unpacking them to their end.
constexpr qint64 MostUnpacked = 64 * 1024 * 1024;
// One block of the archive file read at a time.
constexpr size_t ReadBlock = 64 * 1024;

// How much of a list of names from the source the status line shows.
constexpr int NamesShown = 5;
constexpr qsizetype LongestName = 60;

// The first few names, and how many more there are.
QString Listed(const QStringList &names, qsizetype count)
{
    const qsizetype shown = std::min<qsizetype>(names.size(), NamesShown);
    QString text = names.first(shown).join(QStringLiteral(", "));
    if (count > shown)
        text += QStringLiteral(" AND %1 MORE").arg(count - shown);
    return text;
}

// Gathers the station files of a source under their own names in the stage folder, so that
// the restore takes them as a backup of its own.
class Gathering
{
public:
    Gathering(const CountyTable &table, QString stage, ImportReport &report)
        : m_stage(std::move(stage))
        , m_report(report)
    {
        for (const QString &name : StationFileNames(table))
            m_byLowerName.insert(name.toLower(), name);
    }

    // The station file an entry of the source is, by its name alone; empty when it is none,
    // or when an earlier entry had the name: that one is skipped without being read.
    QString claim(const QString &given)
    {
        const QString name = m_byLowerName.value(given.section(u'/', -1).toLower());
        if (name.isEmpty() || m_claimed.contains(name)) {
            skip(given);
            return QString();
        }
        m_claimed.insert(name);
        return name;
    }

    void skip(const QString &given)
    {
        if (m_report.skipped.size() < NamesShown)
            m_report.skipped << PrintableText(given, LongestName);
        ++m_report.skippedCount;
    }

    void refuse(const QString &given, const QString &why)
    {
        m_report.refused << PrintableText(given, LongestName) + QStringLiteral(" (") + why
                + QStringLiteral(")");
    }

    // Stages what was read of a claimed entry, when it is a whole station file.
    Status take(const QString &given, const QString &name, const QByteArray &bytes)
    {
        if (const std::optional<QString> problem = StationFileProblem(bytes)) {
            refuse(given, *problem);
            return Status::Ok();
        }
        // A file of no station (the program makes one for a county it opens with none)
        // brings nothing in, and must not empty a county that has members here.
        bool holdsStation = false;
        for (qsizetype at = 0; at < bytes.size() && !holdsStation; at += StationRecord::Size) {
            const StationRecord r = StationRecord::fromBytes(bytes.mid(at, StationRecord::Size));
            holdsStation = !r.isFree() && !r.isEndMarker();
        }
        if (!holdsStation) {
            skip(given);
            return Status::Ok();
        }
        // The stage is thrown away after the restore, so its files need not reach the disk;
        // the restore's copies into the data folder do.
        const QString staged = QDir(m_stage).filePath(name);
        QFile file(staged);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            || file.write(bytes) != bytes.size() || !file.flush())
            return Status::Error(FileError(staged, file.errorString()));
        m_report.taken << name;
        return Status::Ok();
    }

private:
    QString m_stage;
    ImportReport &m_report;
    QHash<QString, QString> m_byLowerName;
    QSet<QString> m_claimed;
};

Status GatherFolder(const QString &folder, Gathering &gathering)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString name = gathering.claim(file.fileName());
        if (name.isEmpty())
            continue;
        // One byte more than a station file can hold tells a larger file; the rest is never
        // read, whatever lies there.
        const Result<QByteArray> bytes = ReadFileHead(file.filePath(), LargestStationFile + 1);
        if (!bytes)
            return bytes.status();
        if (const Status taken = gathering.take(file.fileName(), name, *bytes); !taken)
            return taken;
    }
    return Status::Ok();
}

// A zip read as a stream, one local header after the other, as with a zip arriving over a
// wire: the central directory is never consulted, so entries cannot share their data and
// no entry is seen twice. An entry is unpacked only when its name is that of a station file
// not yet taken, and then no further than a station file can reach.
class StationZip
{
public:
    StationZip(QString path, Gathering &gathering)
        : m_path(std::move(path))
        , m_gathering(gathering)
    {
    }

    Status read()
    {
        m_archive.reset(archive_read_new());
        if (!m_archive)
            return damaged(QString());
        archive_read_support_format_zip_streamable(m_archive.get());
        if (archive_read_open_filename(
                m_archive.get(), QFile::encodeName(m_path).constData(), ReadBlock)
            != ARCHIVE_OK)
            return damaged(QString());
        for (int looked = 0;; ++looked) {
            archive_entry *entry = nullptr;
            const int r = archive_read_next_header(m_archive.get(), &entry);
            if (r == ARCHIVE_EOF)
                return Status::Ok();
            if (r < ARCHIVE_WARN)
                return damaged(QString());
            if (looked == MostEntries)
                return Status::Error(FileError(m_path,
                    QStringLiteral("over %1 entries: not a zip of station files")
                        .arg(MostEntries)));
            if (const Status s = readEntry(entry); !s)
                return s;
        }
    }

private:
    struct Free
    {
        void operator()(archive *a) const { archive_read_free(a); }
    };

    static QString entryName(archive_entry *entry)
    {
        if (const char *utf8 = archive_entry_pathname_utf8(entry))
            return QString::fromUtf8(utf8);
        if (const char *raw = archive_entry_pathname(entry))
            return QString::fromLocal8Bit(raw);
        return QString();
    }

    Status readEntry(archive_entry *entry)
    {
        const QString given = entryName(entry);
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR)
            return Status::Ok();
        const QString name = m_gathering.claim(given);
        if (!name.isEmpty()) {
            if (type != AE_IFREG) {
                m_gathering.refuse(given, QStringLiteral("not a plain file"));
            } else {
                QByteArray bytes;
                if (const Status s = unpack(given, &bytes, LargestStationFile + 1); !s)
                    return s;
                // An entry whose packed length was damaged to nothing ends at once, and the
                // library checks it no further: what it gives must be as long as the zip says.
                if (bytes.size() <= LargestStationFile && archive_entry_size_is_set(entry)
                    && bytes.size() != archive_entry_size(entry))
                    return damaged(given,
                        QStringLiteral("%1 bytes where the zip says %2")
                            .arg(bytes.size())
                            .arg(archive_entry_size(entry)));
                if (const Status s = m_gathering.take(given, name, bytes); !s)
                    return s;
            }
        }
        // An entry whose length the zip gives is passed over without unpacking it; any other
        // can only be passed by unpacking it to its end.
        if (!archive_entry_size_is_set(entry))
            return unpack(given, nullptr, 0);
        return Status::Ok();
    }

    // Unpacks the entry's data up to its end, or until `most` bytes are kept in bytes; with
    // no bytes given, up to its end, keeping nothing. Counted against the bound of the whole.
    Status unpack(const QString &given, QByteArray *bytes, qsizetype most)
    {
        for (;;) {
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(m_archive.get(), &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                return Status::Ok();
            // A bad checksum or length is a damaged entry, whatever level the library gives it.
            if (r != ARCHIVE_OK)
                return damaged(given);
            m_unpacked += qint64(size);
            if (m_unpacked > MostUnpacked)
                return Status::Error(FileError(m_path,
                    QStringLiteral("over %1 MB to unpack: not a zip of station files")
                        .arg(MostUnpacked / (1024 * 1024))));
            if (bytes) {
                bytes->append(static_cast<const char *>(block),
                    qsizetype(std::min<size_t>(size, size_t(most - bytes->size()))));
                if (bytes->size() >= most)
                    return Status::Ok();
            }
        }
    }

    // The library's reason, unless one is given.
    Status damaged(const QString &given, QString why = QString()) const
    {
        const char *reason = m_archive ? archive_error_string(m_archive.get()) : nullptr;
        if (why.isEmpty())
            why = reason ? QString::fromLocal8Bit(reason) : QStringLiteral("damaged");
        if (!given.isEmpty())
            why = PrintableText(given, LongestName) + QStringLiteral(": ") + why;
        return Status::Error(FileError(
            m_path, QStringLiteral("not a zip file we can read (") + why + QStringLiteral(")")));
    }

    QString m_path;
    Gathering &m_gathering;
    std::unique_ptr<archive, Free> m_archive;
    qint64 m_unpacked = 0;
};

} // namespace

ImportReport ImportStationFiles(const CountyTable &table, const QString &dataFolder,
    const QString &source, const QString &safetyFolder)
{
    ImportReport report;
    QTemporaryDir stage;
    if (!stage.isValid()) {
        report.failure
            = Status::Error(QStringLiteral("no temporary folder: ") + stage.errorString());
        return report;
    }
    Gathering gathering(table, stage.path(), report);
    const Status gathered = QFileInfo(source).isFile() ? StationZip(source, gathering).read()
                                                       : GatherFolder(source, gathering);
    if (!gathered) {
        report.failure = gathered;
        report.taken.clear(); // staged, but none of them comes in
        return report;
    }
    if (report.taken.isEmpty()) {
        report.failure = Status::Error(FileError(source,
            report.refused.isEmpty()
                ? QStringLiteral("no station file (.dat of a county or state) in it")
                : QStringLiteral("no station file in it that can be taken")));
        return report;
    }
    const CopyReport restored
        = RestoreStationFiles(table, dataFolder, stage.path(), report.taken, safetyFolder);
    report.copied = restored.copied;
    report.safetyFolder = restored.safetyFolder;
    if (!restored.ok())
        report.failure = restored.failure;
    return report;
}

QString ImportStatusText(const ImportReport &report)
{
    QString text;
    if (!report.ok()) {
        text = QStringLiteral("IMPORT FAILED - ") + report.failure.error();
        if (report.copied > 0)
            text += QStringLiteral(" - %1 FILES WERE COPIED BEFORE THAT").arg(report.copied);
    } else {
        text = QStringLiteral("IMPORTED %1 STATION FILES").arg(report.taken.size());
    }
    if (!report.refused.isEmpty())
        text += QStringLiteral(" - REFUSED: ") + Listed(report.refused, report.refused.size());
    if (report.skippedCount > 0)
        text += QStringLiteral(" - SKIPPED: ") + Listed(report.skipped, report.skippedCount);
    if (!report.safetyFolder.isEmpty())
        text += QStringLiteral(" - THE FORMER FILES ARE KEPT IN ")
            + QDir::toNativeSeparators(report.safetyFolder);
    // The source's path and the library's reasons may hold anything, too.
    return PrintableText(text, text.size());
}
