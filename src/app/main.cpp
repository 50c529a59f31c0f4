#include "platform/instancelock.h"
#include "platform/qtservices.h"
#include "qrz/frmqrz.h"
#include "session/frmmain.h"
#include "startup/frmsplash.h"
#include "startup/frmupdate.h"
#include "startup/startupcontext.h"

#include <QApplication>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORQ"));
    Services services = MakeProductionServices();
    // The lock comes before anything is read or written: a second copy leaves every file
    // as the first copy has it.
    InstanceLock lock(services.paths);
    if (const Status locked = lock.acquire(); !locked) {
        services.dialogs->message(nullptr, QStringLiteral("VORQ"), locked.error(),
                                  MsgIcon::Critical, Ok);
        return 1;
    }
    RemoveLeftoverWrites(services.paths);
    StartupContext context;
    std::unique_ptr<FrmMain> window;
    FrmSplash splash(services, context);
    splash.qrzLoginOffer = [&] { OfferQrzLogin(services, context, &splash); };
    splash.updateCheck = [&] { return RunUpdateCheck(services, context, &splash); };
    QObject::connect(&splash, &FrmSplash::startupFinished, &app, [&] {
        window = std::make_unique<FrmMain>(services, context);
        window->show();
    });
    if (!splash.start())
        return 0;
    return app.exec();
}
