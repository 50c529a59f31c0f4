#include "demodatabase.h"

#include "stationdb/paths.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorq-demodb"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a demo database of fictional members into a VORQ root."));
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
        QStringLiteral("The root folder to write into."), QStringLiteral("DIR"));
    const QCommandLineOption fullOption(
        QStringLiteral("full"), QStringLiteral("All 116 files with 100 stations each."));
    const QCommandLineOption sessionsOption(QStringLiteral("sessions"),
        QStringLiteral("Also a year of past sessions, 30 a month (for the statistics)."));
    parser.addOption(rootOption);
    parser.addOption(fullOption);
    parser.addOption(sessionsOption);
    parser.process(app);

    if (!parser.isSet(rootOption)) {
        std::fprintf(stderr, "vorq-demodb: --root DIR is required\n");
        return 2;
    }
    DemoDatabaseOptions options;
    options.full = parser.isSet(fullOption);
    options.today = QDate::currentDate();
    const QString now = qEnvironmentVariable("VORQ_NOW");
    if (!now.isEmpty()) {
        const QDateTime at = QDateTime::fromString(now, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (at.isValid())
            options.today = at.date();
    }
    QString error;
    const Paths paths = Paths::underRoot(parser.value(rootOption));
    if (!WriteDemoDatabase(paths, options, &error)
        || (parser.isSet(sessionsOption)
            && !WriteDemoSessions(paths, options.today, 12, 30, &error))) {
        std::fprintf(stderr, "vorq-demodb: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
