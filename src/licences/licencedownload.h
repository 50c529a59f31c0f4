#pragma once

#include "stationdb/result.h"

#include <QString>
#include <QUrl>

#include <functional>

class SettingsStore;
class WebClient;

// Settings/Licence Url: where the licence zip may be fetched from. Empty by default: the
// operator downloads the file and imports it.
QUrl LicenceDownloadUrl(const SettingsStore &settings);

// The update check's bounds: no byte for 5 s ends the download; a slow line that keeps
// sending goes on, however long the file takes.
inline constexpr int LicenceDownloadStallMs = 5000;
inline constexpr qint64 LicenceDownloadMaxBytes = qint64(1) << 30;

// Fetches the zip into folder as a temporary file of ours (removed at the next start if
// it is left behind) and answers its path; the caller imports it and removes it. Only
// https is asked for.
Result<QString> DownloadLicenceZip(WebClient &web, const QUrl &url, const QString &folder,
    const std::function<void(qint64 received, qint64 total)> &progress = {},
    int stallMs = LicenceDownloadStallMs);
