// The child of tst_updatecheck: runs the update check of a program root whose settings name
// the update server, as a start of the program would, so the test can kill it mid-download.
//   updaterunner <root>

#include "doubles.h"
#include "platform/qtwebclient.h"
#include "startup/startupcontext.h"
#include "startup/updatecheck.h"
#include "stationdb/settingsstore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Services services { Paths::underRoot(QString::fromLocal8Bit(argv[1])), nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    services.clock = std::make_shared<ManualClock>(QDateTime(QDate(2026, 3, 10), QTime(19, 0)));
    services.settings = std::make_shared<SettingsStore>(services.paths);
    services.dialogs = std::make_shared<ScriptedDialogs>();
    services.shell = std::make_shared<RecordingShell>();
    services.sounds = std::make_shared<RecordingSounds>();
    services.keyboard = std::make_shared<RecordingKeyboard>();
    services.screen = std::make_shared<FixedScreen>();
    services.web = std::make_shared<QtWebClient>();
    StartupContext context;
    FillStartupContext(context, services);
    UpdateCheck check(services, context, QString());
    const bool goesOn = check.run();
    std::fputs(goesOn ? "went on\n" : "installing\n", stdout);
    return 0;
}
