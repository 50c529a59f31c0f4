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

// Whole days from a local file's date to a server date; none when either is unknown.
std::optional<qint64> daysNewer(const QString &localFile, const QString &serverDate)
{
    const std::optional<QDate> server = ParseDateText(serverDate.trimmed());
    const QFileInfo local(localFile);
    if (!server || !local.exists())
        return std::nullopt;
    return local.lastModified().date().daysTo(*server);
}
} // namespace

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

std::optional<QByteArray> UpdateCheck::fetch(const QString &folder, const QString &name)
{
    const qint64 left = m_checkMs - m_clock.elapsed();
    if (left <= 0 || !m_services.web)
        return std::nullopt;
    QUrl url = m_base;
    QString path = url.path();
    if (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + u'/' + folder + u'/' + name);
    const WebAnswer answer = m_services.web->get(url, int(std::min<qint64>(m_requestMs, left)));
    // An error page or an empty answer is no file: it never replaces one.
    if (!answer.ok() || answer.body.isEmpty()) {
        qCInfo(lcUpdate) << url.toString() << answer.error;
        return std::nullopt;
    }
    return answer.body;
}

int UpdateCheck::fetchNumber(const QString &name)
{
    const std::optional<QByteArray> text = fetch(QStringLiteral("updates"), name);
    return text ? LeadingInt(QString::fromLatin1(*text)) : 0;
}

bool UpdateCheck::download(const QString &name, const QString &target)
{
    QFile::remove(target);
    const std::optional<QByteArray> bytes = fetch(QStringLiteral("files"), name);
    if (!bytes)
        return false;
    // A checksum beside the file, when the server offers one, must match: a damaged or
    // changed installer is never started.
    if (const std::optional<QByteArray> sum
        = fetch(QStringLiteral("files"), name + QStringLiteral(".sha256"))) {
        const QByteArray expected = sum->trimmed().left(64).toLower();
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
        if (hex.match(QString::fromLatin1(expected)).hasMatch()
            && QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex() != expected) {
            m_services.dialogs->message(nullptr, QStringLiteral("VORQ"),
                QStringLiteral("UPDATE FILE IS DAMAGED - NOT INSTALLED"), MsgIcon::Warning, Ok);
            return false;
        }
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (const Status written = WriteFileAtomically(target, *bytes); !written) {
        qCWarning(lcUpdate) << written.error();
        return false;
    }
    return true;
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

bool UpdateCheck::installProgramUpdate(
    const QString &base, const QString &ready, const QString &blocked, bool keepZip)
{
    backUpProgram();
    const QString temp = m_services.paths.tempFolder();
    const QString zip = temp + base + QStringLiteral(".zip");
    const QString exe = temp + base + QStringLiteral(".exe");
    const bool fetched = download(base + QStringLiteral(".zip"), zip);
    if (!m_services.settings->save(
            QStringLiteral("Settings"), QStringLiteral("VBUpdate"), QStringLiteral("True")))
        qCWarning(lcUpdate) << "VBUpdate not saved:" << m_services.settings->lastError();
    if (!fetched || !QFileInfo::exists(zip))
        return false;
    QFile::remove(exe);
    const bool copied = QFile::copy(zip, exe) && QFile::setPermissions(exe, kExecutable);
    if (!keepZip)
        QFile::remove(zip);
    if (!copied || !QFileInfo::exists(exe)) {
        m_services.dialogs->message(nullptr, QStringLiteral("VORQ"), blocked, MsgIcon::Warning, Ok);
        return false;
    }
    m_services.dialogs->message(nullptr, QStringLiteral("VORQ"), ready, MsgIcon::Information, Ok);
    return m_services.shell->startProgram(exe, {});
}

void UpdateCheck::updateText(const QString &dateFile, const QString &textFile)
{
    const std::optional<QByteArray> date = fetch(QStringLiteral("updates"), dateFile);
    if (m_context.UserDataFolder.isEmpty())
        return;
    const QString local = m_context.UserDataFolder + textFile;
    const bool missing = !QFileInfo(local).isFile();
    const std::optional<qint64> newer
        = date ? daysNewer(local, QString::fromLatin1(*date)) : std::nullopt;
    if (!missing && !(newer && *newer > 0))
        return;
    if (const std::optional<QByteArray> text = fetch(QStringLiteral("files"), textFile)) {
        // What could not be shown is never installed: the text in use stays.
        if (const QString problem = SupportTextProblem(*text); !problem.isEmpty())
            qCWarning(lcUpdate) << textFile << "from the server not installed:" << problem;
        else if (const Status written = WriteFileAtomically(local, *text); !written)
            qCWarning(lcUpdate) << written.error();
    }
}

void UpdateCheck::updateDatabase()
{
    const std::optional<QByteArray> date
        = fetch(QStringLiteral("updates"), QStringLiteral("VorqdBDate.txt"));
    if (!date)
        return;
    m_context.ServerDbDate = QString::fromLatin1(*date).trimmed();
    const QString updater = m_services.paths.programFolder() + QStringLiteral("dBUpdate.exe");
    if (QFileInfo::exists(updater)) {
        const std::optional<qint64> newer = daysNewer(updater, m_context.ServerDbDate);
        // A server date that does not parse never starts a download.
        if (!newer || *newer <= 0)
            return;
    } else if (!ParseDateText(m_context.ServerDbDate)) {
        return;
    }
    const QString zip = m_services.paths.driveRoot() + QStringLiteral("VorqdBUpdate.zip");
    if (!download(QStringLiteral("VorqdBUpdate.zip"), zip))
        return;
    QFile::remove(updater);
    const bool copied = QFile::copy(zip, updater) && QFile::setPermissions(updater, kExecutable);
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
    // A program update fetched and not yet cleaned up leaves Temp: no second install then.
    const bool pending = QDir(m_services.paths.tempFolder()).exists();
    const int version = fetchNumber(QStringLiteral("VorqVersion.txt"));
    if (!pending) {
        if (version > ProgramVersion
            && installProgramUpdate(QStringLiteral("VorqVerUpdate"),
                QStringLiteral("A NEW VERSION HAS BEEN DOWNLOADED. CLICK OK TO INSTALL"),
                QStringLiteral("ERROR YOUR ANTIVIRUS PROGRAM MAY BE BLOCKING THE DOWNLOAD"), false))
            return false;
        if (fetchNumber(QStringLiteral("VorqBuild.txt")) > ProgramBuild
            && installProgramUpdate(QStringLiteral("VorqBldUpdate"),
                QStringLiteral("A NEW BUILD HAS BEEN DOWNLOADED. CLICK OK TO INSTALL!"),
                QStringLiteral("ERROR! YOUR ANTIVIRUS PROGRAM MAY BE BLOCKING THE DOWNLOAD"), true))
            return false;
    }
    updateText(QStringLiteral("VorqInstDate.txt"), QStringLiteral("VorqInst.txt"));
    updateText(QStringLiteral("VorqPreambleDate.txt"), QStringLiteral("VorqPreamble.txt"));
    updateDatabase();
    return true;
}
