#include "platform/qtservices.h"
#include "session/frmmain.h"
#include "startup/startupcontext.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORQ"));
    Services services = MakeProductionServices();
    StartupContext context;
    FillStartupContext(context, services);
    FrmMain window(services, context);
    window.show();
    return app.exec();
}
