#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeView;
struct Services;
struct StartupContext;

// The dots of the progress line after file n of a backup: cleared when the 80th file is
// reached, so the line never holds more than 79.
QString ProgressDots(int n);

// BACKUP/RESTORE DATA FILES: copies the station files out to a folder, or back from one.
class FrmProcessDataFiles : public QDialog
{
    Q_OBJECT
public:
    FrmProcessDataFiles(Services &services, StartupContext &context, QWidget *parent = nullptr);

    const QString &sourceFolder() const { return m_source; }
    // The folder to restore from, as a click in the folder tree chooses it: its station files
    // are listed.
    void chooseFolder(const QString &folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The drives of this machine, and the folder tree of the first.
    void listDrives();
    void layOut();
    void wire();
    void busy(bool on);
    void done(const QString &text, bool ok);
    // Restores the names (all when none) from the folder current in Dir1; the live files
    // they replace are kept first.
    void restore(const QStringList &names);

    Services &m_services;
    StartupContext &m_context;
    QFileSystemModel *m_folders;
    QString m_source;

    QGroupBox *fraOptions;
    QRadioButton *OptBackup;
    QRadioButton *OptRestore;
    QGroupBox *fraRestore;
    QRadioButton *OptAll;
    QRadioButton *OptSelect;
    QComboBox *Drive1;
    QTreeView *Dir1;
    QListWidget *lstSelect;
    QLabel *lblFolder;
    QLabel *Label2;
    QLineEdit *txtFolder;
    QLabel *Label1;
    QLabel *lblStatus;
    QLabel *lblStatus1;
    QPushButton *cmdDone;

    void OptBackup_Click();
    void txtFolder_Enter();
    void OptRestore_Click();
    // A folder chosen in the folder list (clicked, or reached with the arrow keys): the
    // source of a restore.
    void OptAll_Click();
    void OptSelect_Click();
    void lstSelect_Click(const QString &name);
};
