#include "updatecheck.h"

#include "platform/services.h"
#include "startupcontext.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/supporttext.h"
#include "stationdb/textforms.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcUpdate, "vorq.update")

namespace {
constexpr auto kExecutable
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

const QString kVersion = QStringLiteral("VorqVerUpdate");
const QString kBuild = QStringLiteral("VorqBldUpdate");

// The name a download or copy has until it is whole: one the start-up clean-up of
// leftover temporaries knows.
QString part(const QString &target)
{
    return target + TemporaryFileMarker() + QStringLiteral("update");
}

// Whole days from a local file's date to a server date; none when either is unknown.
std::optional<qint64> daysNewer(const QString &localFile, const QString &serverDate)
{
    const std::optional<QDate> server = ServerDate(serverDate);
    const QFileInfo local(localFile);
    if (!server || !local.exists())
        return std::nullopt;
    return local.lastModified().date().daysTo(*server);
}

// Copies a file so that the copy is whole or absent.
bool copyWhole(const QString &from, const QString &to)
{
    const QString temporary = part(to);
    QFile::remove(temporary);
    if (!QFile::copy(from, temporary) || !QFile::setPermissions(temporary, kExecutable)
        || QFileInfo(temporary).size() != QFileInfo(from).size()) {
        QFile::remove(temporary);
        return false;
    }
    QFile::remove(to);
    return QFile::rename(temporary, to);
}

// The SHA-256 of a file, read in pieces; empty when it cannot be read.
QByteArray sha256Of(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}
} // namespace

std::optional<QDate> ServerDate(const QString &text)
{
    const QDate iso = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (iso.isValid())
        return iso;
    return ParseDateText(text.trimmed());
}

bool DatabaseUpdateFinished(const QString &serverDate, std::optional<QDate> flagDate)
{
    const std::optional<QDate> server = ServerDate(serverDate);
    return server && flagDate && *server == *flagDate;
}

DatabaseCaption DatabaseCaptionOf(bool started, bool due, const QString &serverDate,
    const QString &storedDate, std::optional<QDate> flagDate)
{
    const QString notUpdated = QStringLiteral("   DATABASE DID NOT UPDATE");
    if (started) {
        if (DatabaseUpdateFinished(serverDate, flagDate))
            return { serverDate, QStringLiteral("  DATATBASE UPDATED") };
        return { flagDate ? MmDdYyyy(*flagDate)
                          : (storedDate.isEmpty() ? QStringLiteral("UNKNOWN") : storedDate),
            notUpdated };
    }
    if (due)
        return { storedDate.isEmpty() ? QStringLiteral("UNKNOWN") : storedDate, notUpdated };
    return { storedDate.isEmpty() ? serverDate : storedDate, QString() };
}

double ServerNumber(const QByteArray &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)"));
    const QRegularExpressionMatch match = number.match(QString::fromLatin1(text));
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

UpdateCheck::UpdateCheck(Services &services, StartupContext &context, QString programFile)
    : m_services(services)
    , m_context(context)
    , m_programFile(std::move(programFile))
{
}

std::optional<QUrl> UpdateCheck::baseUrl() const
{
    const QString stored
        = m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("Update Url"))
              .trimmed();
    if (stored.isEmpty())
        return std::nullopt;
    const QUrl url(stored);
    if (const QString refused = RefusedWebAddress(url); !refused.isEmpty()) {
        qCWarning(lcUpdate) << "update check skipped:" << refused;
        return std::nullopt;
    }
    return url;
}

bool UpdateCheck::InstallPending(const Services &services)
{
    if (services.settings->get(QStringLiteral("Settings"), QStringLiteral("VBUpdate"))
        != QLatin1String("True"))
        return false;
    const QString temp = services.paths.tempFolder();
    for (const QString &base : { kVersion, kBuild }) {
        for (const QString &extension : { QStringLiteral(".zip"), QStringLiteral(".exe") }) {
            if (QFileInfo(temp + base + extension).isFile())
                return true;
        }
    }
    return false;
}

void UpdateCheck::warn(const QString &text)
{
    qCWarning(lcUpdate) << text;
    m_services.dialogs->message(nullptr, QStringLiteral("VORQ"), text, MsgIcon::Warning, Ok);
}

WebAnswer UpdateCheck::fetch(const QString &folder, const QString &name)
{
    WebAnswer answer;
    const qint64 left = m_checkMs - (m_clock.elapsed() - m_downloading);
    if (left <= 0 || !m_services.web) {
        answer.timedOut = true;
        answer.failure = Status::Error(QStringLiteral("the update check ran out of time"));
        return answer;
    }
    QUrl url = m_base;
    QString path = url.path();
    if (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + u'/' + folder + u'/' + name);
    WebRequest request;
    request.url = url;
    request.stallMs = int(std::min<qint64>(m_requestMs, left));
    request.totalMs = int(left);
    request.maxBytes = SupportTextMaxBytes;
    answer = m_services.web->get(request);
    // An error page or an empty answer is no file: it never replaces one.
    if (answer.ok() && answer.body.isEmpty())
        answer.failure = Status::Error(url.host() + QStringLiteral(": an empty answer"));
    if (!answer.ok())
        qCInfo(lcUpdate) << folder + u'/' + name << answer.failure.error();
    return answer;
}

double UpdateCheck::fetchNumber(const QString &name)
{
    const WebAnswer answer = fetch(QStringLiteral("updates"), name);
    return answer.ok() ? ServerNumber(answer.body) : 0.0;
}

QString UpdateCheck::download(const QString &name, const QString &target)
{
    const QString temporary = part(target);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return QFileInfo(target).absolutePath() + QStringLiteral(": the folder cannot be made");
    QFile::remove(temporary);
    QUrl url = m_base;
    QString path = url.path();
    if (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/files/") + name);
    WebRequest request;
    request.url = url;
    request.stallMs = m_requestMs;
    request.totalMs = DownloadTimeoutMs;
    request.maxBytes = MaxInstallerBytes;
    request.file = temporary;
    if (m_progress)
        request.progress
            = [this, name](qint64 received, qint64 total) { m_progress(name, received, total); };
    QElapsedTimer spent;
    spent.start();
    const WebAnswer answer = m_services.web ? m_services.web->get(request) : WebAnswer {};
    m_downloading += spent.elapsed();
    const auto failed = [&temporary](const QString &reason) {
        QFile::remove(temporary);
        return reason;
    };
    if (!m_services.web)
        return failed(QStringLiteral("no network"));
    if (!answer.ok())
        return failed(answer.failure.error());
    if (QFileInfo(temporary).size() == 0)
        return failed(url.host() + QStringLiteral(": an empty answer"));
    // A checksum the server offers must be read and must match: a damaged or changed
    // installer is never started. Only a checksum the server does not have (404) lets the
    // file through unchecked.
    const WebAnswer sum = fetch(QStringLiteral("files"), name + QStringLiteral(".sha256"));
    if (sum.ok()) {
        static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{64})(\\s|$)"));
        const QRegularExpressionMatch match = hex.match(QString::fromLatin1(sum.body.trimmed()));
        if (!match.hasMatch())
            return failed(name + QStringLiteral(": its checksum file holds no SHA-256 sum"));
        if (sha256Of(temporary) != match.captured(1).toLower().toLatin1())
            return failed(name + QStringLiteral(" IS DAMAGED: its checksum does not match"));
    } else if (sum.status != 404) {
        return failed(name + QStringLiteral(": its checksum could not be read (")
            + sum.failure.error() + u')');
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return failed(target + QStringLiteral(": the download cannot be put in place"));
    return QString();
}

void UpdateCheck::backUpProgram()
{
    const QString folder = m_services.paths.backupFolder();
    QDir().mkpath(folder);
    const Result<QByteArray> program = ReadWholeFile(m_programFile);
    if (!program) {
        qCWarning(lcUpdate) << "no backup:" << program.error();
        return;
    }
    if (const Status saved
        = WriteFileAtomically(folder + QStringLiteral("Vorq.exe"), *program, kExecutable);
        !saved)
        qCWarning(lcUpdate) << "no backup:" << saved.error();
}

bool UpdateCheck::installProgramUpdate(const QString &base, const QString &what,
    const QString &ready, const QString &blocked, bool keepZip)
{
    backUpProgram();
    const QString temp = m_services.paths.tempFolder();
    const QString zip = temp + base + QStringLiteral(".zip");
    const QString exe = temp + base + QStringLiteral(".exe");
    const auto giveUp = [&temp] {
        // Nothing half-done stays behind, so the next start asks the server again.
        QDir(temp).removeRecursively();
        return false;
    };
    if (const QString failed = download(base + QStringLiteral(".zip"), zip); !failed.isEmpty()) {
        warn(QStringLiteral("THE NEW %1 WAS NOT INSTALLED - %2. IT WILL BE TRIED AGAIN AT THE "
                            "NEXT START.")
                 .arg(what, failed));
        return giveUp();
    }
    bool copied = false;
    if (keepZip) {
        copied = copyWhole(zip, exe);
    } else {
        QFile::remove(exe);
        copied = QFile::rename(zip, exe) && QFile::setPermissions(exe, kExecutable);
    }
    if (!copied || !QFileInfo::exists(exe)) {
        m_services.dialogs->message(nullptr, QStringLiteral("VORQ"), blocked, MsgIcon::Warning, Ok);
        return giveUp();
    }
    // Only a whole, verified installer marks the update as pending.
    if (const Status saved = m_services.settings->save(
            QStringLiteral("Settings"), QStringLiteral("VBUpdate"), QStringLiteral("True"));
        !saved)
        qCWarning(lcUpdate) << "VBUpdate not saved:" << saved.error();
    m_services.dialogs->message(nullptr, QStringLiteral("VORQ"), ready, MsgIcon::Information, Ok);
    if (m_services.shell->startProgram(exe, {}))
        return true;
    // It stays in Temp for the operator to start by hand; the program goes on meanwhile.
    warn(QStringLiteral("THE NEW %1 COULD NOT BE STARTED: %2")
             .arg(what, QDir::toNativeSeparators(exe)));
    return false;
}

void UpdateCheck::updateText(const QString &dateFile, const QString &textFile, const QString &what)
{
    const WebAnswer date = fetch(QStringLiteral("updates"), dateFile);
    if (m_context.UserDataFolder.isEmpty())
        return;
    const QString local = m_context.UserDataFolder + textFile;
    const bool missing = !QFileInfo(local).isFile();
    const std::optional<qint64> newer
        = date.ok() ? daysNewer(local, QString::fromLatin1(date.body)) : std::nullopt;
    if (!missing && !(newer && *newer > 0))
        return;
    const WebAnswer text = fetch(QStringLiteral("files"), textFile);
    // What could not be shown is never installed: the text in use stays.
    QString problem = text.tooLarge ? QStringLiteral("larger than 1 MB") : QString();
    if (text.ok())
        problem = SupportTextProblem(text.body);
    if (!problem.isEmpty()) {
        warn(QStringLiteral("THE NEW %1 FROM THE UPDATE SERVER WAS NOT INSTALLED (%2). THE "
                            "FORMER ONE IS KEPT.")
                 .arg(what, problem.toUpper()));
        return;
    }
    if (!text.ok())
        return;
    if (const Status written = WriteFileAtomically(local, text.body); !written)
        qCWarning(lcUpdate) << written.error();
}

void UpdateCheck::updateDatabase()
{
    const WebAnswer date = fetch(QStringLiteral("updates"), QStringLiteral("VorqdBDate.txt"));
    if (!date.ok())
        return;
    m_context.ServerDbDate = QString::fromLatin1(date.body).trimmed();
    const QString updater = m_services.paths.programFolder() + QStringLiteral("dBUpdate.exe");
    if (QFileInfo::exists(updater)) {
        const std::optional<qint64> newer = daysNewer(updater, m_context.ServerDbDate);
        // A server date that does not parse never starts a download.
        if (!newer || *newer <= 0)
            return;
    } else if (!ServerDate(m_context.ServerDbDate)) {
        return;
    }
    // From here the server has a database this machine does not: the caption says whether
    // it arrived.
    m_context.DatabaseUpdateDue = true;
    const QString zip = m_services.paths.driveRoot() + QStringLiteral("VorqdBUpdate.zip");
    if (const QString failed = download(QStringLiteral("VorqdBUpdate.zip"), zip);
        !failed.isEmpty()) {
        // The caption tells the operator ("DATABASE DID NOT UPDATE").
        qCWarning(lcUpdate) << "no database update:" << failed;
        return;
    }
    QDir().mkpath(m_services.paths.programFolder());
    const bool copied = copyWhole(zip, updater);
    QFile::remove(zip);
    // The caption reports an update only when the updater really runs.
    if (copied && m_services.shell->startProgram(updater, {}))
        m_context.DatabaseUpdateFlag = true;
}

bool UpdateCheck::run()
{
    const std::optional<QUrl> base = baseUrl();
    if (!base)
        return true;
    m_base = *base;
    m_clock.start();
    m_downloading = 0;
    // A whole installer fetched and not yet cleaned up waits in Temp: no second install then.
    // Anything else there is what a failed or killed download left.
    const bool pending = InstallPending(m_services);
    if (!pending)
        QDir(m_services.paths.tempFolder()).removeRecursively();
    const double version = fetchNumber(QStringLiteral("VorqVersion.txt"));
    if (!pending) {
        if (version > ProgramVersion
            && installProgramUpdate(kVersion, QStringLiteral("VERSION"),
                QStringLiteral("A NEW VERSION HAS BEEN DOWNLOADED. CLICK OK TO INSTALL"),
                QStringLiteral("ERROR YOUR ANTIVIRUS PROGRAM MAY BE BLOCKING THE DOWNLOAD"), false))
            return false;
        if (fetchNumber(QStringLiteral("VorqBuild.txt")) > ProgramBuild
            && installProgramUpdate(kBuild, QStringLiteral("BUILD"),
                QStringLiteral("A NEW BUILD HAS BEEN DOWNLOADED. CLICK OK TO INSTALL!"),
                QStringLiteral("ERROR! YOUR ANTIVIRUS PROGRAM MAY BE BLOCKING THE DOWNLOAD"), true))
            return false;
    }
    updateText(QStringLiteral("VorqInstDate.txt"), QStringLiteral("VorqInst.txt"),
        QStringLiteral("INSTRUCTIONS"));
    updateText(QStringLiteral("VorqPreambleDate.txt"), QStringLiteral("VorqPreamble.txt"),
        QStringLiteral("PREAMBLE"));
    updateDatabase();
    return true;
}
