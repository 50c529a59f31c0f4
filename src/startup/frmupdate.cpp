#include "frmupdate.h"

#include "centrewindow.h"
#include "platform/named.h"
#include "updatecheck.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

FrmUpdate::FrmUpdate(Services &services, StartupContext &context, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("VORQ"));
    lblUpdate = Named(
        new QLabel(QStringLiteral("CHECKING FOR UPDATES"), this), QStringLiteral("lblUpdate"));
    lblUpdate1 = Named(
        new QLabel(
            QStringLiteral("THIS MAY TAKE A WHILE - DEPENDING ON YOUR INTERNET SPEED"), this),
        QStringLiteral("lblUpdate1"));
    QFont big = lblUpdate->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    lblUpdate->setFont(big);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblUpdate, 0, Qt::AlignHCenter);
    layout->addWidget(lblUpdate1, 0, Qt::AlignHCenter);
    adjustSize();
    CentreOnScreen(*this, context, services);
}

bool RunUpdateCheck(Services &services, StartupContext &context, QWidget *parent)
{
    UpdateCheck check(services, context, QCoreApplication::applicationFilePath());
    if (!check.baseUrl())
        return true;
    FrmUpdate window(services, context, parent);
    window.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool goOn = check.run();
    window.hide();
    return goOn;
}
