#pragma once

#include <QDialog>

class NetShare;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
struct Services;

// Options > Net Sharing...: on or off, the net folder, the name this PC shares under, and
// every PC seen in the folder with its latest change and session. OK keeps the choice in
// the settings (Net/Folder, empty when off; Net/Name; Net/Station).
class FrmNetSharing : public QDialog
{
    Q_OBJECT
public:
    FrmNetSharing(Services &services, NetShare &share, QWidget *parent = nullptr);

signals:
    void changesRequested();

private:
    void cmdNetFolder_Click();
    void cmdNewStationId_Click();
    void cmdOK_Click();
    void showStations();
    void followSharing();

    Services &m_services;
    NetShare &m_share;
    QString m_stationId; // kept on OK; empty: made from the name when sharing starts

    QCheckBox *chkNetSharing;
    QLineEdit *txtNetFolder;
    QPushButton *cmdNetFolder;
    QLineEdit *txtNetStationName;
    QLabel *lblNetStationId;
    QPushButton *cmdNewStationId;
    QTreeWidget *lstNetStations;
    QPushButton *cmdNetChanges;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
