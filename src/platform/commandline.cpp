#include "commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>

CommandLine ParseCommandLine(const QStringList &arguments, const QString &version)
{
    const QString program
        = arguments.isEmpty() ? QStringLiteral("vorq") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("VORQ: the logging program of a traffic net's net control station.\n"
                       "Without options it keeps its files under ~/VORQ/, or under the "
                       "folder in VORQ_ROOT when that is set."));
    // Not addHelpOption(): its --help-all offers Qt's own options, which are not taken here.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
        QStringLiteral("Keep every file of the program under DIR (station files, settings, "
                       "support files): a portable or practice database. Same as the "
                       "environment variable VORQ_ROOT, which it overrides."),
        QStringLiteral("DIR"));
    const QCommandLineOption nowOption(QStringLiteral("now"),
        QStringLiteral("Start the clock at this moment and let it run on from there "
                       "(training). Same as the environment variable VORQ_NOW, which it "
                       "overrides."),
        StartMomentFormat());
    const QCommandLineOption importOption(QStringLiteral("import-licences"),
        QStringLiteral("Build the US licence database from the published amateur licence "
                       "file (l_amat.zip) without opening a window; progress on stderr, exit "
                       "status 0 when the new database is in place, 1 when not."),
        QStringLiteral("FILE.zip"));
    const QCommandLineOption forceOption(QStringLiteral("force"),
        QStringLiteral("With --import-licences: put the new database in place even when it "
                       "holds no licence, or under half of those in the database in use."));
    parser.addOption(rootOption);
    parser.addOption(nowOption);
    parser.addOption(importOption);
    parser.addOption(forceOption);

    CommandLine line;
    auto fail = [&](const QString &reason) {
        line.action = CommandLine::Action::Fail;
        line.text = program + QStringLiteral(": ") + reason + QStringLiteral("\nTry '") + program
            + QStringLiteral(" --help' for the options.\n");
        return line;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::ShowHelp;
        // Without an application object the parser cannot know the program's name.
        line.text = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        return line;
    }
    if (parser.isSet(versionOption)) {
        line.action = CommandLine::Action::ShowVersion;
        line.text = QStringLiteral("vorq ") + version + u'\n';
        return line;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'")
                        .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(rootOption)) {
        line.root = parser.value(rootOption);
        if (line.root.isEmpty())
            return fail(QStringLiteral("--root needs a folder"));
    }
    if (parser.isSet(nowOption)) {
        const QString text = parser.value(nowOption);
        line.now = QDateTime::fromString(text, StartMomentFormat());
        if (!line.now.isValid())
            return fail(QStringLiteral("'%1' is not a moment of the form %2 "
                                       "(for example 2026-03-10T19:00:00)")
                            .arg(text, StartMomentFormat()));
    }
    if (parser.isSet(importOption)) {
        line.licenceZip = parser.value(importOption);
        if (line.licenceZip.isEmpty())
            return fail(QStringLiteral("--import-licences needs a zip file"));
        line.action = CommandLine::Action::ImportLicences;
        line.force = parser.isSet(forceOption);
    } else if (parser.isSet(forceOption)) {
        return fail(QStringLiteral("--force goes with --import-licences"));
    }
    return line;
}
