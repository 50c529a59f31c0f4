#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QUrl>
#include <optional>

struct Services;
struct StartupContext;

// The program's own version and build, compared with the update server's.
inline constexpr int ProgramVersion = 1;
inline constexpr int ProgramBuild = 12;

// The update check of every start: newer program version or build, instructions, preamble
// and station database from the update server (Settings/Update Url; none configured: no
// check). Each request waits at most 5 s and the whole check at most 30 s, so a dead server
// never holds the start up for long.
class UpdateCheck
{
public:
    static constexpr int RequestTimeoutMs = 5000;
    static constexpr int CheckTimeoutMs = 30000;

    // programFile: the program copied into FileBackup before an install (the running
    // executable).
    UpdateCheck(Services &services, StartupContext &context, QString programFile);

    // The configured base address, or none (nothing configured, or plain http elsewhere than
    // this machine: nothing downloaded that way is ever run).
    std::optional<QUrl> baseUrl() const;
    // Runs the five steps. False when an installer was started and the program is to end.
    bool run();

    void setTimeouts(int requestMs, int checkMs)
    {
        m_requestMs = requestMs;
        m_checkMs = checkMs;
    }

private:
    // The body of a file of the server, or none (no answer, an error, an empty body).
    std::optional<QByteArray> fetch(const QString &folder, const QString &name);
    int fetchNumber(const QString &name);
    // Downloads a file of /files/ to target, checked against its ".sha256" when the server
    // offers one. False when nothing usable arrived.
    bool download(const QString &name, const QString &target);
    // Steps 1 and 2. True when the installer was started.
    bool installProgramUpdate(
        const QString &base, const QString &ready, const QString &blocked, bool keepZip);
    void backUpProgram();
    void updateText(const QString &dateFile, const QString &textFile);
    void updateDatabase();

    Services &m_services;
    StartupContext &m_context;
    QString m_programFile;
    QUrl m_base;
    QElapsedTimer m_clock;
    int m_requestMs = RequestTimeoutMs;
    int m_checkMs = CheckTimeoutMs;
};
