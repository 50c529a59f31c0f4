#include "licencedownload.h"

#include "platform/services.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

QUrl LicenceDownloadUrl(const SettingsStore &settings)
{
    const QString text
        = settings.get(QStringLiteral("Settings"), QStringLiteral("Licence Url")).trimmed();
    return text.isEmpty() ? QUrl() : QUrl(text);
}

Result<QString> DownloadLicenceZip(WebClient &web, const QUrl &url, const QString &folder,
    const std::function<void(qint64, qint64)> &progress, int stallMs)
{
    if (const QString refused = RefusedWebAddress(url); !refused.isEmpty())
        return Status::Error(refused);
    if (!QDir().mkpath(folder))
        return Status::Error(FileError(folder, QStringLiteral("cannot create the folder")));
    // A name of our own kind, so a download cut off by a crash is cleared at the next start.
    QTemporaryFile reserve(QDir(folder).filePath(QStringLiteral("l_amat.zip"))
        + TemporaryFileMarker() + QStringLiteral("XXXXXX"));
    reserve.setAutoRemove(false);
    if (!reserve.open())
        return Status::Error(FileError(folder, reserve.errorString()));
    const QString file = reserve.fileName();
    reserve.close();
    WebRequest request;
    request.url = url;
    request.stallMs = stallMs;
    request.totalMs = 0;
    request.maxBytes = LicenceDownloadMaxBytes;
    request.file = file;
    request.progress = progress;
    const WebAnswer answer = web.get(request);
    if (!answer.ok()) {
        QFile::remove(file);
        return answer.failure;
    }
    if (QFileInfo(file).size() == 0) {
        QFile::remove(file);
        return Status::Error(url.host() + QStringLiteral(": an empty answer"));
    }
    return file;
}
