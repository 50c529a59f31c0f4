#include "frmnetsharing.h"

#include "netshare/changelog.h"
#include "netshare/netshare.h"
#include "platform/named.h"
#include "platform/services.h"
#include "stationdb/settingsstore.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString DefaultNetFolder(const Paths &paths)
{
    return QDir::toNativeSeparators(paths.root() + QStringLiteral("Net/"));
}

QString LocalTime(const QDateTime &utc)
{
    return utc.isValid() ? utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                         : QStringLiteral("NONE");
}

} // namespace

FrmNetSharing::FrmNetSharing(Services &services, NetShare &share, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_share(share)
{
    setObjectName(QStringLiteral("frmNetSharing"));
    setWindowTitle(QStringLiteral("NET SHARING"));
    const SettingsStore &settings = *services.settings;
    const QString folder = settings.get(NetShare::Section(), QStringLiteral("Folder"));
    m_stationId = settings.get(NetShare::Section(), QStringLiteral("Station"));

    chkNetSharing = Named(
        new QCheckBox(QStringLiteral("&Share the station files and sessions with the net"), this),
        "chkNetSharing");
    txtNetFolder
        = Named(new QLineEdit(folder.isEmpty() ? DefaultNetFolder(services.paths) : folder, this),
            "txtNetFolder");
    cmdNetFolder = Named(new QPushButton(QStringLiteral("&Browse..."), this), "cmdNetFolder");
    txtNetStationName
        = Named(new QLineEdit(settings.get(NetShare::Section(), QStringLiteral("Name")), this),
            "txtNetStationName");
    txtNetStationName->setPlaceholderText(QStringLiteral("YOUR CALL AND NAME"));
    txtNetStationName->setMaxLength(40);
    lblNetStationId = Named(new QLabel(this), "lblNetStationId");
    lblNetStationId->setTextInteractionFlags(
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    cmdNewStationId = Named(new QPushButton(QStringLiteral("New &Id"), this), "cmdNewStationId");
    lstNetStations = Named(new QTreeWidget(this), "lstNetStations");
    lstNetStations->setHeaderLabels({ QStringLiteral("STATION"), QStringLiteral("NAME"),
        QStringLiteral("LATEST CHANGE"), QStringLiteral("LATEST SESSION") });
    lstNetStations->setRootIsDecorated(false);
    lstNetStations->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstNetStations->setAccessibleName(QStringLiteral("PCs in the net folder"));
    cmdNetChanges
        = Named(new QPushButton(QStringLiteral("Net &Changes..."), this), "cmdNetChanges");
    cmdOK = Named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(txtNetFolder, 1);
    folderRow->addWidget(cmdNetFolder);
    auto *idRow = new QHBoxLayout;
    idRow->addWidget(lblNetStationId, 1);
    idRow->addWidget(cmdNewStationId);
    auto *form = new QFormLayout;
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(QStringLiteral("Net &folder:"), txtNetFolder), folderRow);
    form->addRow(
        label(QStringLiteral("&Name (call and name):"), txtNetStationName), txtNetStationName);
    form->addRow(label(QStringLiteral("Station id:"), cmdNewStationId), idRow);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdNetChanges);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chkNetSharing);
    layout->addLayout(form);
    layout->addWidget(label(QStringLiteral("&PCs in the net folder:"), lstNetStations));
    layout->addWidget(lstNetStations, 1);
    layout->addLayout(buttons);
    resize(720, 420);

    chkNetSharing->setChecked(!folder.isEmpty());
    followSharing();
    showStations();
    connect(chkNetSharing, &QCheckBox::toggled, this, &FrmNetSharing::followSharing);
    connect(cmdNetFolder, &QPushButton::clicked, this, &FrmNetSharing::cmdNetFolder_Click);
    connect(txtNetFolder, &QLineEdit::editingFinished, this, &FrmNetSharing::showStations);
    connect(cmdNewStationId, &QPushButton::clicked, this, &FrmNetSharing::cmdNewStationId_Click);
    connect(cmdNetChanges, &QPushButton::clicked, this, &FrmNetSharing::changesRequested);
    connect(cmdOK, &QPushButton::clicked, this, &FrmNetSharing::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmNetSharing::followSharing()
{
    const bool on = chkNetSharing->isChecked();
    for (QWidget *w : { static_cast<QWidget *>(txtNetFolder), static_cast<QWidget *>(cmdNetFolder),
             static_cast<QWidget *>(txtNetStationName), static_cast<QWidget *>(cmdNewStationId) })
        w->setEnabled(on);
    lblNetStationId->setText(
        m_stationId.isEmpty() ? QStringLiteral("MADE WHEN SHARING STARTS") : m_stationId);
}

void FrmNetSharing::showStations()
{
    lstNetStations->clear();
    const QString folder
        = QDir(m_services.paths.root()).absoluteFilePath(txtNetFolder->text().trimmed());
    for (const NetStationSeen &seen : ListNetStations(folder)) {
        auto *item = new QTreeWidgetItem(lstNetStations,
            { seen.id + (seen.id == m_stationId ? QStringLiteral(" (THIS PC)") : QString()),
                seen.name, LocalTime(seen.lastChange),
                seen.lastSession.isEmpty() ? QStringLiteral("NONE") : seen.lastSession });
        Q_UNUSED(item);
    }
    if (lstNetStations->topLevelItemCount() == 0)
        new QTreeWidgetItem(
            lstNetStations, { QStringLiteral("NO PC HAS SHARED IN THIS FOLDER YET") });
    lstNetStations->setCurrentItem(lstNetStations->topLevelItem(0));
}

void FrmNetSharing::cmdNetFolder_Click()
{
    const QString chosen = m_services.dialogs->chooseFolder(
        this, QStringLiteral("Net Folder"), txtNetFolder->text());
    if (chosen.isEmpty())
        return;
    txtNetFolder->setText(QDir::toNativeSeparators(chosen));
    showStations();
}

void FrmNetSharing::cmdNewStationId_Click()
{
    // A program folder copied from another PC shares that PC's id; a new one parts them.
    m_stationId = NewStationId(txtNetStationName->text().section(u' ', 0, 0));
    followSharing();
    showStations();
}

void FrmNetSharing::cmdOK_Click()
{
    const bool on = chkNetSharing->isChecked();
    const QString folder = txtNetFolder->text().trimmed();
    if (on && folder.isEmpty()) {
        m_services.dialogs->message(this, QStringLiteral("Net Sharing"),
            QStringLiteral("Choose the net folder, or turn sharing off."), MsgIcon::Warning, Ok);
        txtNetFolder->setFocus();
        return;
    }
    const Status saved = m_services.settings->saveAll({
        SettingChange::Set(NetShare::Section(), QStringLiteral("Folder"), on ? folder : QString()),
        SettingChange::Set(
            NetShare::Section(), QStringLiteral("Name"), txtNetStationName->text().trimmed()),
        SettingChange::Set(NetShare::Section(), QStringLiteral("Station"), m_stationId),
    });
    if (!saved) {
        m_services.dialogs->message(this, QStringLiteral("Net Sharing"),
            QStringLiteral("The choice could not be kept: ") + saved.error(), MsgIcon::Critical,
            Ok);
        return;
    }
    accept();
}
