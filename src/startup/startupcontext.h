#pragma once

#include "stationdb/countytable.h"

#include <QString>
#include <optional>

struct Services;

// The values the start-up sequence prepares and every window reads for the whole run.
struct StartupContext
{
    // The program's version and build, compared with the update server's.
    QString Version = QStringLiteral("1");
    QString Build = QStringLiteral("12");

    QString ProgramFolder;
    QString DataFolder;
    QString UserDataFolder; // ends in a separator; empty when unknown
    CountyTable countyTable;

    int ScreenWidth = 0;
    int ScreenHeight = 0;

    QString TodayMonth; // "12"
    QString TodayDay; // "06"
    QString TodayYear; // "2026"
    int WeekdayNumber = 0; // 1 = Sunday ... 7 = Saturday
    QString WeekdayName; // "Sunday" ... "Saturday"

    QString NetCtlName;
    QString NetCtlCall;
    QString NetMgrName;
    QString NetMgrCall;
    QString UserName;
    QString WindowsVersionName;
    QString ReportResetFlag;

    // Set when the roster's OK chose tonight's net control (regular or alternate).
    bool AltNetControlChosen = false;
    // From the start-up update check.
    bool DatabaseUpdateFlag = false; // the database updater was started
    bool DatabaseUpdateDue = false; // the server offered a newer database
    QString ServerDbDate;
    // How long the main window's load waits for a database updater started this run.
    int DatabaseWaitMs = 60000;
    // Makes the Instructions print entry print the preamble; closing the Instructions window
    // clears it.
    bool ShowPreamble = false;
    // The operator's answer to resuming an interrupted session, when it was asked before
    // the main window opened; its load takes it.
    std::optional<bool> ResumeAnswer;
};

// Sets the folders, the county table's file names, the screen size, today's date parts and
// weekday, and reads the user, today's net control and the net manager from the settings;
// the Windows version name as well. Nothing is asked and nothing is written.
void FillStartupContext(StartupContext &context, Services &services);
