#pragma once

#include "stationdb/result.h"

#include <QString>
#include <QStringList>

// The support files bundled with the program, installed as an installer would: into the
// per-user data folder (texts, sounds, pictures) and the program folder (the ding).
// Existing files are never overwritten. Every file is tried; the failure told is the last.
Status InstallSupportFiles(const QString &userDataFolder);
Status InstallProgramFiles(const QString &programFolder);

QStringList SupportFileNames();
