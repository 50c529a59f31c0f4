#include "frmsplash.h"

#include "centrewindow.h"

#include "frmholiday.h"
#include "frminstr.h"
#include "frmusername.h"
#include "frmxmas.h"
#include "platform/services.h"
#include "startup/seasons.h"
#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "stationdb/settingsstore.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTimer>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

FrmSplash::FrmSplash(Services &services, StartupContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , Timer1(new QTimer(this))
    , Label1(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("VORQNET")))
    , Label5(makeLabel(this, QStringLiteral("Label5"), QStringLiteral(" VERSION 1")))
    , lblBuild(makeLabel(this, QStringLiteral("lblBuild"), QStringLiteral("BUILD 12")))
    , Label6(makeLabel(this, QStringLiteral("Label6"), QStringLiteral("TODAY'S NET ")))
    , Label2(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("CONTROL IS")))
    , lblNetCtlName(makeLabel(this, QStringLiteral("lblNetCtlName")))
    , lblNetCtlCall(makeLabel(this, QStringLiteral("lblNetCtlCall")))
    , lblName(makeLabel(this, QStringLiteral("lblName")))
    , lblGM(makeLabel(this, QStringLiteral("lblGM"), QStringLiteral("GOOD EVENING")))
    , Label3(makeLabel(this, QStringLiteral("Label3")))
    , WinLogo(makeLabel(this, QStringLiteral("WinLogo")))
    , Image1(makeLabel(this, QStringLiteral("Image1")))
    , m_services(services)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmsplash"));
    setWindowTitle(QStringLiteral("VORQNET"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &FrmSplash::handOver);

    QFont title = Label1->font();
    title.setPointSize(title.pointSize() + 14);
    title.setBold(true);
    Label1->setFont(title);
    QFont strong = lblNetCtlName->font();
    strong.setPointSize(strong.pointSize() + 4);
    strong.setBold(true);
    for (QLabel *label : { lblNetCtlName, lblNetCtlCall, lblName, lblGM })
        label->setFont(strong);
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.gif")));
    lblName->setVisible(false);
    lblGM->setVisible(false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1, 1, 2);
    layout->addWidget(Label5, 1, 1);
    layout->addWidget(lblBuild, 1, 2);
    layout->addWidget(lblGM, 2, 1);
    layout->addWidget(lblName, 2, 2);
    layout->addWidget(Label6, 3, 1);
    layout->addWidget(Label2, 3, 2);
    layout->addWidget(lblNetCtlName, 4, 1);
    layout->addWidget(lblNetCtlCall, 4, 2);
    layout->addWidget(WinLogo, 4, 0);
    layout->addWidget(Label3, 5, 0, 1, 3);
    resize(DesignWidth, DesignHeight);
}

bool FrmSplash::start()
{
    if (!runLoadSequence())
        return false;
    show();
    return true;
}

bool FrmSplash::runLoadSequence()
{
    SettingsStore &settings = *m_services.settings;
    // A store that cannot be read gives every value empty and takes no change: said once
    // here, with the reason, rather than only through each save that fails.
    if (const Result<QString> readable
        = settings.read(QStringLiteral("Settings"), QStringLiteral("User Name"));
        !readable)
        m_saveFailures << QStringLiteral("SETTINGS CANNOT BE READ: ") + readable.error();

    // Folders, county file names, screen size, today and the stored names.
    FillStartupContext(m_context, m_services);
    if (m_steps)
        m_steps->askToResume();
    MigrateStationFiles(m_context.ProgramFolder, m_context.DataFolder, m_context.countyTable);
    PrepareUserDataFolder(m_context.UserDataFolder, m_context.ProgramFolder);

    runDaylightSavingCheck();

    Label3->setText(QStringLiteral("THE TASKORA TRAFFIC NET CONTROL PROGRAM\r\n"
                                   "Written by the VORQ developers\r\n"
                                   "Released 2026"));
    placeWindow();

    const QString storedUser
        = settings.get(QStringLiteral("Settings"), QStringLiteral("User Name"));
    if (!storedUser.isEmpty()) {
        m_context.UserName = storedUser.toUpper();
        lblName->setText(m_context.UserName);
        lblName->setVisible(true);
    } else {
        askUserName();
    }

    if (m_steps && !m_steps->checkForUpdate())
        return false;

    lblGM->setVisible(true);
    showWindowsLogo();

    reportSave(SeedRoster(settings));
    m_context.NetCtlName = settings.get(QStringLiteral("NetCtl"), m_context.WeekdayName);
    m_context.NetCtlCall = settings.get(QStringLiteral("NetCtlCall"), m_context.WeekdayName);
    m_context.NetMgrName = settings.get(QStringLiteral("Settings"), QStringLiteral("NetMgr"));
    m_context.NetMgrCall = settings.get(QStringLiteral("Settings"), QStringLiteral("NetMgrCall"));
    lblNetCtlName->setText(m_context.NetCtlName);
    lblNetCtlCall->setText(m_context.NetCtlCall);

    if (m_steps)
        m_steps->offerQrzLogin();

    // An obsolete value of older versions goes when it is there.
    if (!settings.get(QStringLiteral("Settings"), QStringLiteral("NMFlag")).isEmpty())
        reportSave(settings.remove(QStringLiteral("Settings"), QStringLiteral("NMFlag")));

    m_context.UserName = settings.get(QStringLiteral("Settings"), QStringLiteral("User Name"));
    Status saved;
    if (CheckReportReset(m_context, settings, saved)) {
        m_services.dialogs->message(
            this, ResetReminderTitle(), ResetReminderText(), MsgIcon::Warning, Ok);
    }
    reportSave(saved);
    ClearReportResetOnDay8(m_context, settings, saved);
    reportSave(saved);

    // The start goes on (the net must be able to run), but the operator learns, once, that
    // these values will be asked or set again next time.
    if (!m_saveFailures.isEmpty())
        m_services.dialogs->message(
            this, QStringLiteral("VORQ"), m_saveFailures.join(u'\n'), MsgIcon::Warning, Ok);
    Timer1->start();
    return true;
}

bool FrmSplash::handOverPending() const
{
    return Timer1->isActive();
}

void FrmSplash::handOver()
{
    Timer1->stop();
    const bool firstStart
        = m_services.settings->get(QStringLiteral("First"), QStringLiteral("Firstime"))
        != QLatin1String("FALSE");

    if (ChristmasWindowDue(m_context.TodayMonth, m_context.TodayDay, firstStart)) {
        hide();
        m_services.sounds->play(m_context.UserDataFolder + ChristmasSoundFile(firstStart));
        FrmXmas xmas(m_services, m_context, this);
        m_services.dialogs->execModal(&xmas);
    }
    if (firstStart) {
        FrmInstr instructions(m_services, m_context, this);
        m_services.dialogs->execModal(&instructions);
    } else {
        // Left on the drive by a build update; gone or not, start-up goes on.
        QFile::remove(m_services.paths.driveRoot() + QStringLiteral("VORQBldUpdate.exe"));
    }

    emit startupFinished();
    close();
}

void FrmSplash::placeWindow()
{
    const QSize screen(m_context.ScreenWidth, m_context.ScreenHeight);
    resize(DesignWidth, DesignHeight);
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    if (screen == QSize(1024, 768)) {
        // 1000 twips narrower, 500 to the right, 500 lower in height; the top stays.
        constexpr int narrower = 1000 / 15;
        constexpr int shorter = 500 / 15;
        resize(width() - narrower, height() - shorter);
        move(x() + narrower / 2, y());
    }
}

void FrmSplash::askUserName()
{
    FrmUserName prompt(m_services, m_context, this);
    m_services.dialogs->execModal(&prompt);
    const QString name = prompt.userName().toUpper();
    // The prompt closes only with a name; without one nothing is stored, so the next start
    // asks again.
    if (name.isEmpty())
        return;
    m_context.UserName = name;
    lblName->setText(name);
    lblName->setVisible(true);
    reportSave(
        m_services.settings->save(QStringLiteral("Settings"), QStringLiteral("User Name"), name));
}

void FrmSplash::showWindowsLogo()
{
    QString prefix;
    int pictures = 0;
    if (m_context.WindowsVersionName == QLatin1String("Win XP")) {
        prefix = QStringLiteral("WinXP");
        pictures = 8;
    } else if (m_context.WindowsVersionName == QLatin1String("Win Vista")) {
        prefix = QStringLiteral("Vista");
        pictures = 3;
    } else if (m_context.WindowsVersionName == QLatin1String("Win Seven")) {
        prefix = QStringLiteral("Win7");
        pictures = 6;
    }
    if (pictures == 0) {
        WinLogo->setVisible(false);
        return;
    }
    const int n = QRandomGenerator::global()->bounded(pictures) + 1;
    // Relative to the current folder, as the pictures were always installed beside the program.
    WinLogo->setPixmap(QPixmap(prefix + QString::number(n) + QStringLiteral(".bmp")));
}

void FrmSplash::reportSave(const Status &saved)
{
    const QString text = QStringLiteral("SETTINGS NOT SAVED: ") + saved.error();
    if (!saved && !m_saveFailures.contains(text))
        m_saveFailures << text;
}

void FrmSplash::runDaylightSavingCheck()
{
    const DstDecision decision = DecideDst(m_services.clock->today());
    if (decision.notice != DstNotice::None) {
        FrmHoliday notice(this);
        notice.setWindowTitle(DstNoticeCaption());
        notice.setNotice(DstNoticeText(decision.notice));
        notice.adjustSize();
        CentreOnScreen(notice, m_context, m_services);
        m_services.dialogs->execModal(&notice);
    } else if (decision.daylightTime) {
        reportSave(m_services.settings->save(QStringLiteral("Settings"), QStringLiteral("DST"),
            *decision.daylightTime ? QStringLiteral("True") : QStringLiteral("False")));
    }
}
