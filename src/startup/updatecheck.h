#pragma once

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

struct Services;
struct StartupContext;
struct WebAnswer;
struct WebRequest;

// The program's own version and build, compared with the update server's.
inline constexpr int ProgramVersion = 1;
inline constexpr int ProgramBuild = 12;

// The number a version or build file of the server holds ("13", "1.4"); 0 when it holds
// none, which never triggers an update.
double ServerNumber(const QByteArray &text);
// The date a date file of the server holds: yyyy-MM-dd or m/d/yyyy.
std::optional<QDate> ServerDate(const QString &text);
// The database date of the main window's caption and what it adds about an update.
struct DatabaseCaption
{
    QString date;
    QString tail;
};
// started: the updater was started this run; due: the server offered a newer database;
// storedDate: Settings/dBDate; flagDate: the date of DatabaseFlagFile (none when missing).
// "DATATBASE UPDATED" only when the updater really finished, that is left the flag dated
// the server's date; an update that was due and did not finish says "DATABASE DID NOT
// UPDATE", and the server's date is never shown as the current one then.
DatabaseCaption DatabaseCaptionOf(bool started, bool due, const QString &serverDate,
    const QString &storedDate, std::optional<QDate> flagDate);
// Whether the updater has finished: the flag is dated the server's date.
bool DatabaseUpdateFinished(const QString &serverDate, std::optional<QDate> flagDate);

// The update check of every start: newer program version or build, instructions, preamble
// and station database from the update server (Settings/Update Url; none configured: no
// check). A request ends when nothing arrives for 5 s; the small requests together take at
// most 30 s, and an installer, shown with its progress, at most DownloadTimeoutMs. An
// installer is complete and verified on the disk, or absent.
class UpdateCheck
{
public:
    static constexpr int RequestTimeoutMs = 5000;
    static constexpr int CheckTimeoutMs = 30000;
    static constexpr int DownloadTimeoutMs = 20 * 60 * 1000;
    static constexpr qint64 MaxInstallerBytes = 200 * 1024 * 1024;

    using Progress = std::function<void(const QString &file, qint64 received, qint64 total)>;

    // programFile: the program copied into FileBackup before an install (the running
    // executable).
    UpdateCheck(Services &services, StartupContext &context, QString programFile);

    // The configured base address, or none (nothing configured, or plain http elsewhere than
    // this machine: nothing downloaded that way is ever run).
    std::optional<QUrl> baseUrl() const;
    // Runs the five steps. False when an installer was started and the program is to end.
    bool run();

    // requestMs: the stall bound of every request; checkMs: all small requests together.
    void setTimeouts(int requestMs, int checkMs)
    {
        m_requestMs = requestMs;
        m_checkMs = checkMs;
    }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Whether an installer downloaded whole by an earlier start waits in Temp: then no
    // second one is fetched until the main window's closing has cleared it.
    static bool InstallPending(const Services &services);

private:
    // A file of the server; its answer (an error page or an empty body is no file).
    WebAnswer fetch(const QString &folder, const QString &name);
    double fetchNumber(const QString &name);
    // Downloads a file of /files/ to target: under a temporary name, checked against its
    // ".sha256" when the server offers one, renamed only when whole. The reason when not.
    QString download(const QString &name, const QString &target);
    // Steps 1 and 2. True when the installer was started.
    bool installProgramUpdate(const QString &base, const QString &what, const QString &ready,
        const QString &blocked, bool keepZip);
    void backUpProgram();
    void updateText(const QString &dateFile, const QString &textFile, const QString &what);
    void updateDatabase();
    void warn(const QString &text);

    Services &m_services;
    StartupContext &m_context;
    QString m_programFile;
    QUrl m_base;
    QElapsedTimer m_clock;
    qint64 m_downloading = 0; // time spent on installers, which the check's bound leaves out
    int m_requestMs = RequestTimeoutMs;
    int m_checkMs = CheckTimeoutMs;
    Progress m_progress;
};
