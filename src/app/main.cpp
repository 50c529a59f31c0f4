#include "licences/licencecommand.h"
#include "mainwindow/ui/frmmain.h"
#include "platform/commandline.h"
#include "platform/instancelock.h"
#include "platform/ui/qtservices.h"
#include "qrz/ui/frmqrz.h"
#include "session/ui/journalkeeper.h"
#include "startup/startupcontext.h"
#include "startup/ui/frmsplash.h"
#include "startup/ui/frmupdate.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

// The load sequence's steps that belong to the session, the update and the lookup service.
class ProgramSteps : public SplashSteps
{
public:
    ProgramSteps(Services &services, StartupContext &context, QWidget &splash)
        : m_services(services)
        , m_context(context)
        , m_splash(splash)
    {
    }
    void askToResume() override { AskToResumeFirst(m_services, m_context); }
    bool checkForUpdate() override { return RunUpdateCheck(m_services, m_context, &m_splash); }
    void offerQrzLogin() override { OfferQrzLogin(m_services, m_context, &m_splash); }

private:
    Services &m_services;
    StartupContext &m_context;
    QWidget &m_splash;
};

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before the application object: --help and --version must
    // answer without a display, and a wrong option must leave every file alone.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = ParseCommandLine(arguments, QStringLiteral(VORQ_VERSION));
    switch (line.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(line.text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Action::Fail:
        std::fputs(line.text.toLocal8Bit().constData(), stderr);
        return BadCommandLineExitCode;
    case CommandLine::Action::ImportLicences: {
        // No display and no window: an import can run from a weekly timer.
        QCoreApplication app(argc, argv);
        return RunLicenceImport(line.licenceZip,
            line.root.isEmpty() ? Paths::fromEnvironment() : Paths::fromRoot(line.root), stderr,
            line.force);
    }
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORQ"));
    QApplication::setApplicationVersion(QStringLiteral(VORQ_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.halvorsoft.vorq"));
    Services services = MakeProductionServices(line.root, line.now);
    // The lock comes before anything is read or written: a second copy leaves every file
    // as the first copy has it.
    InstanceLock lock(services.paths);
    Status locked = lock.acquire();
    if (!locked && lock.foreignLock()) {
        if (!AskToTakeOverLock(*services.dialogs, lock))
            return 1;
        locked = lock.takeOver();
    }
    if (!locked) {
        services.dialogs->message(
            nullptr, QStringLiteral("VORQ"), locked.error(), MsgIcon::Critical, Ok);
        return 1;
    }
    RemoveLeftoverWrites(services.paths);
    StartupContext context;
    std::unique_ptr<FrmMain> window;
    FrmSplash splash(services, context);
    ProgramSteps steps(services, context, splash);
    splash.setSteps(&steps);
    QObject::connect(&splash, &FrmSplash::startupFinished, &app, [&] {
        window = std::make_unique<FrmMain>(services, context);
        window->show();
    });
    if (!splash.start())
        return 0;
    return app.exec();
}
