#include "frmqrz.h"

#include "platform/named.h"
#include "platform/services.h"
#include "qrz/qrzclient.h"
#include "startup/startupcontext.h"
#include "startup/ui/centrewindow.h"
#include "stationdb/settingsstore.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString FrmQrz::Notice()
{
    return QStringLiteral(
        "This build changes the way the program will present the data retrived from QRZ. When "
        "you right clicked on a callsign in a previous build the program stopped running and it "
        "brought up the callsigns info on the QRZ page. In this version of the program when you "
        "right click on the unknown callsign the program will open the add new station window, "
        "retreve the stations info from QRZ and insert it into the appropriate fields of the new "
        "station window all without leaving the program. If you wish to use this feature, enter "
        "your QRZ Login info into the boxes below and press the tab key to enable the OK button. "
        "Or Click CANCEL to continue without entering QRZ Login.\r\n"
        "NOTICE IF YOU DO NOT WISH TO USE THIS FEATURE CHECK THE DO NOT ASK AGAIN BOX BEFORE YOU "
        "CLICK ON CANCEL. OTHERWISE THE PROGRAM WILL ASK EVERY TIME IT RUNS.");
}

FrmQrz::FrmQrz(Services &services, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmQRZ"));
    setWindowTitle(QStringLiteral("QRZ LOGIN"));
    fraQRZ = Named(new QGroupBox(QStringLiteral("QRZ LOGIN"), this), QStringLiteral("fraQRZ"));
    LabelUserID
        = Named(new QLabel(QStringLiteral("USER ID"), fraQRZ), QStringLiteral("LabelUserID"));
    txtUserID = Named(new QLineEdit(fraQRZ), QStringLiteral("txtUserID"));
    lblQRZPassword
        = Named(new QLabel(QStringLiteral(" Password"), fraQRZ), QStringLiteral("lblQRZPassword"));
    txtQrzPassWrd = Named(new QLineEdit(fraQRZ), QStringLiteral("txtQrzPassWrd"));
    txtQrzPassWrd->setEchoMode(QLineEdit::Password);
    ChkRemoveLogin = Named(new QCheckBox(QStringLiteral("REMOVE EXISTING USER LOGIN"), this),
        QStringLiteral("ChkRemoveLogin"));
    chkNoShow = Named(
        new QCheckBox(QStringLiteral("DO NOT ASK AGAIN"), this), QStringLiteral("chkNoShow"));
    cmdOK = Named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    cmdCancel = Named(new QPushButton(QStringLiteral("CANCEL"), this), QStringLiteral("cmdCancel"));
    TxtTitle = Named(new QPlainTextEdit(this), QStringLiteral("TxtTitle"));
    TxtTitle->setReadOnly(true);
    for (QPushButton *button : { cmdOK, cmdCancel })
        button->setAutoDefault(false);

    auto *boxes = new QGridLayout(fraQRZ);
    boxes->addWidget(LabelUserID, 0, 0);
    boxes->addWidget(txtUserID, 0, 1);
    boxes->addWidget(lblQRZPassword, 1, 0);
    boxes->addWidget(txtQrzPassWrd, 1, 1);
    auto *layout = new QGridLayout(this);
    layout->addWidget(TxtTitle, 0, 0, 1, 2);
    layout->addWidget(fraQRZ, 1, 0, 1, 2);
    layout->addWidget(ChkRemoveLogin, 2, 0);
    layout->addWidget(chkNoShow, 2, 1);
    layout->addWidget(cmdOK, 3, 0);
    layout->addWidget(cmdCancel, 3, 1);

    connect(cmdOK, &QPushButton::clicked, this, &FrmQrz::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmQrz::cmdCancel_Click);
    connect(chkNoShow, &QCheckBox::clicked, this, &FrmQrz::chkNoShow_Click);
    txtQrzPassWrd->installEventFilter(this);

    // Opening.
    resize(560, 420);
    CentreOnScreen(*this, context, services);
    cmdOK->setEnabled(false);
    TxtTitle->setPlainText(Notice());
    chkNoShow->setChecked(services.settings->GetSetting(
                              QrzKeys::NoShowApplication(), QrzKeys::Section(), QrzKeys::NoShow())
        == QLatin1String("1"));
    SetCapsLock(*services.keyboard, false);
    const QSize screen(context.ScreenWidth, context.ScreenHeight);
    if (screen == QSize(1024, 768)) {
        for (QLabel *label : { LabelUserID, lblQRZPassword }) {
            QFont f = label->font();
            f.setPointSize(10);
            label->setFont(f);
        }
    }
}

bool FrmQrz::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtQrzPassWrd && event->type() == QEvent::FocusOut)
        txtQrzPassWrd_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void FrmQrz::txtQrzPassWrd_LostFocus()
{
    // Once the operator has typed towards a login, "never ask" no longer fits this opening;
    // an empty box passed on the way to it (Tab) is no login.
    if (txtQrzPassWrd->text().isEmpty())
        return;
    cmdOK->setEnabled(true);
    chkNoShow->setEnabled(false);
}

void FrmQrz::askOnEveryStart()
{
    chkNoShow->setEnabled(true);
    chkNoShow->setChecked(false);
    chkNoShow_Click();
}

void FrmQrz::chkNoShow_Click()
{
    if (!chkNoShow->isEnabled())
        return;
    const Status saved = m_services.settings->SaveSettings(QrzKeys::NoShowApplication(),
        { SettingChange::Set(QrzKeys::Section(), QrzKeys::NoShow(),
            chkNoShow->isChecked() ? QStringLiteral("1") : QStringLiteral("0")) });
    if (!saved) {
        chkNoShow->setChecked(!chkNoShow->isChecked());
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("SETTINGS NOT SAVED: ") + saved.error(), MsgIcon::Warning, Ok);
    }
}

bool FrmQrz::save(const QString &key, const QString &value)
{
    const Status saved = m_services.settings->save(QrzKeys::Section(), key, value);
    if (!saved)
        m_services.dialogs->message(this, windowTitle(),
            QStringLiteral("SETTINGS NOT SAVED: ") + saved.error(), MsgIcon::Warning, Ok);
    return saved.ok();
}

void FrmQrz::cmdOK_Click()
{
    SettingsStore &settings = *m_services.settings;
    if (ChkRemoveLogin->isChecked()) {
        QList<SettingChange> removal;
        for (const QString &key : { QrzKeys::Password(), QrzKeys::Id(), QrzKeys::Key() }) {
            if (!settings.get(QrzKeys::Section(), key).isEmpty())
                removal << SettingChange::Delete(QrzKeys::Section(), key);
        }
        if (const Status removed = settings.saveAll(removal); !removed) {
            m_services.dialogs->message(this, windowTitle(),
                QStringLiteral("SETTINGS NOT SAVED: ") + removed.error(), MsgIcon::Warning, Ok);
            return;
        }
        ChkRemoveLogin->setChecked(false);
    }
    if (txtUserID->text().isEmpty()) {
        txtUserID->setFocus();
        return;
    }
    if (!save(QrzKeys::Id(), QStringLiteral("username=") + txtUserID->text() + u';'))
        return;
    if (txtQrzPassWrd->text().isEmpty()) {
        txtQrzPassWrd->setFocus();
        return;
    }
    if (save(QrzKeys::Password(), QStringLiteral("password=") + txtQrzPassWrd->text()))
        accept();
}

void FrmQrz::cmdCancel_Click()
{
    reject();
}

void FrmQrz::done(int result)
{
    // However the window closes, the program's capitals come back.
    SetCapsLock(*m_services.keyboard, true);
    QDialog::done(result);
}

void OfferQrzLogin(Services &services, StartupContext &context, QWidget *parent)
{
    const SettingsStore &settings = *services.settings;
    if (!settings.get(QrzKeys::Section(), QrzKeys::Password()).isEmpty()
        || settings.GetSetting(QrzKeys::NoShowApplication(), QrzKeys::Section(), QrzKeys::NoShow())
            == QLatin1String("1"))
        return;
    FrmQrz login(services, context, parent);
    services.dialogs->execModal(&login);
}

void ChangeQrzLogin(Services &services, StartupContext &context, QWidget *parent)
{
    FrmQrz login(services, context, parent);
    login.askOnEveryStart();
    services.dialogs->execModal(&login);
}
