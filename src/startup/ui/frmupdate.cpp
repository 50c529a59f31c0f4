#include "frmupdate.h"

#include "centrewindow.h"
#include "platform/named.h"
#include "startup/updatecheck.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
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
    lblProgress = Named(new QLabel(this), QStringLiteral("lblProgress"));
    prgDownload = Named(new QProgressBar(this), QStringLiteral("prgDownload"));
    prgDownload->setMinimumWidth(360);
    lblProgress->hide();
    prgDownload->hide();
    QFont big = lblUpdate->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    lblUpdate->setFont(big);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblUpdate, 0, Qt::AlignHCenter);
    layout->addWidget(lblUpdate1, 0, Qt::AlignHCenter);
    layout->addWidget(lblProgress, 0, Qt::AlignHCenter);
    layout->addWidget(prgDownload, 0, Qt::AlignHCenter);
    adjustSize();
    CentreOnScreen(*this, context, services);
}

void FrmUpdate::showProgress(const QString &file, qint64 received, qint64 total)
{
    constexpr double kMb = 1024.0 * 1024.0;
    QString text = QStringLiteral("DOWNLOADING %1: %2 MB").arg(file).arg(received / kMb, 0, 'f', 1);
    if (total > 0) {
        text += QStringLiteral(" OF %1 MB").arg(total / kMb, 0, 'f', 1);
        prgDownload->setRange(0, 1000);
        prgDownload->setValue(int(received * 1000 / total));
    } else {
        prgDownload->setRange(0, 0); // busy: the size is not known
    }
    lblProgress->setText(text);
    if (!prgDownload->isVisible()) {
        lblProgress->show();
        prgDownload->show();
        adjustSize();
    }
}

bool RunUpdateCheck(Services &services, StartupContext &context, QWidget *parent)
{
    UpdateCheck check(services, context, QCoreApplication::applicationFilePath());
    if (!check.baseUrl())
        return true;
    FrmUpdate window(services, context, parent);
    window.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    check.setProgress([&window](const QString &file, qint64 received, qint64 total) {
        window.showProgress(file, received, total);
    });
    const bool goOn = check.run();
    window.hide();
    return goOn;
}
