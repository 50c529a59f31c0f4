#pragma once

#include <QString>

class Paths;

// The shell's id of the per-user application-data folder.
inline constexpr int ApplicationDataFolderId = 26;

// The location of a special folder; empty when it is unknown or cannot be made.
QString GetSpecialFolder(const Paths &paths, int folderId);
// True when the path exists and is a folder; any error gives false.
bool IsFolder(const QString &path);
// Appends the folder separator unless the path already ends in "/" or "\".
void AddSlash(QString &path);
// The per-user data folder: application data + the maker folder + separator, or empty when
// the application-data folder is not there. The folder itself is not created here.
QString InitUserDataFolder(const Paths &paths);

// "2.5.1" is "Win XP", "2.6.0" "Win Vista", "2.6.1" "Win Seven", anything else "Unknown".
QString WindowsVersionNameFor(int platformId, int major, int minor);
// The running system's name in those terms; "Unknown" off Windows.
QString GetWindowsVersionName();
