#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What the command line asks for. It is read before any window exists, so --help and
// --version answer on a machine without a display and touch no file of the program.
struct CommandLine
{
    enum class Action { Run, ShowHelp, ShowVersion, ImportLicences, Fail };

    Action action = Action::Run;
    // The help or version text for stdout, or the reason of a failure for stderr.
    QString text;
    // --root DIR: the command-line form of VORQ_ROOT; empty when not given.
    QString root;
    // --now yyyy-MM-ddTHH:mm:ss: the command-line form of VORQ_NOW; invalid when not given.
    QDateTime now;
    // --import-licences FILE.zip: build the licence database without a window.
    QString licenceZip;
    // --force: the import replaces the database even with far fewer licences.
    bool force = false;
};

// The exit status of a command line that could not be understood.
inline constexpr int BadCommandLineExitCode = 2;

// The form of a chosen start moment, for --now and VORQ_NOW alike.
inline QString StartMomentFormat()
{
    return QStringLiteral("yyyy-MM-ddTHH:mm:ss");
}

// Reads the program's arguments (the first is the program itself).
CommandLine ParseCommandLine(const QStringList &arguments, const QString &version);
