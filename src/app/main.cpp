#include "platform/qtservices.h"
#include "session/frmmain.h"
#include "startup/frmsplash.h"
#include "startup/startupcontext.h"

#include <QApplication>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORQ"));
    Services services = MakeProductionServices();
    StartupContext context;
    std::unique_ptr<FrmMain> window;
    FrmSplash splash(services, context);
    QObject::connect(&splash, &FrmSplash::startupFinished, &app, [&] {
        window = std::make_unique<FrmMain>(services, context);
        window->show();
    });
    if (!splash.start())
        return 0;
    return app.exec();
}
