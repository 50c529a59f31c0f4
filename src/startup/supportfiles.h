#pragma once

#include <QString>
#include <QStringList>

// The support files bundled with the program, installed as an installer would: into the
// per-user data folder (texts, sounds, pictures) and the program folder (the ding).
// Existing files are never overwritten. Returns false when a file could not be written.
bool InstallSupportFiles(const QString &userDataFolder, QString *error = nullptr);
bool InstallProgramFiles(const QString &programFolder, QString *error = nullptr);

QStringList SupportFileNames();
