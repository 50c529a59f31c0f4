#include "frmxmas.h"

#include "centrewindow.h"
#include "startup/seasons.h"
#include "startup/startupcontext.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

FrmXmas::FrmXmas(Services &, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , Image1(new QLabel(this))
    , cmdExit(new QPushButton(QStringLiteral("EXIT"), this))
    , TimeXmas(new QTimer(this))
    , Timer1(new QTimer(this))
    , m_context(context)
{
    setObjectName(QStringLiteral("frmXmas"));
    setWindowTitle(QStringLiteral("MERRY CHRISTMAS AND A HAPPY NEW YEAR FROM THE NET"));
    Image1->setObjectName(QStringLiteral("Image1"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    TimeXmas->setObjectName(QStringLiteral("TimeXmas"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(320, 240);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Image1, 1);
    layout->addWidget(cmdExit, 0, Qt::AlignHCenter);

    connect(cmdExit, &QPushButton::clicked, this, &FrmXmas::cmdExit_Click);
    connect(TimeXmas, &QTimer::timeout, this, &FrmXmas::TimeXmas_Timer);
    connect(Timer1, &QTimer::timeout, this, &FrmXmas::Timer1_Timer);
    TimeXmas->setInterval(200);
    Timer1->setInterval(15500);
    Timer1->setSingleShot(true);

    adjustSize();
    CentreWindow(*this, QSize(context.ScreenWidth, context.ScreenHeight));
    TimeXmas->start();
    Timer1->start();
}

void FrmXmas::TimeXmas_Timer()
{
    m_pictureFile = m_context.UserDataFolder + ChristmasFrameFile(m_frame);
    // A missing picture leaves the frame empty; the animation goes on.
    Image1->setPixmap(QPixmap(m_pictureFile));
    m_frame = NextChristmasFrame(m_frame);
}

void FrmXmas::Timer1_Timer()
{
    TimeXmas->stop();
    Timer1->stop();
    accept();
}

void FrmXmas::cmdExit_Click()
{
    Timer1_Timer();
}
