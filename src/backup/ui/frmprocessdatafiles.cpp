#include "frmprocessdatafiles.h"

#include "backup/stationbackup.h"
#include "platform/named.h"
#include "platform/services.h"
#include "startup/startupcontext.h"
#include "startup/ui/centrewindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

QString ProgressDots(int n)
{
    return QString(n < 80 ? n : n - 79, u'.');
}

FrmProcessDataFiles::FrmProcessDataFiles(
    Services &services, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_context(context)
{
    buildControls();
    listDrives();
    layOut();
    wire();
    fraRestore->hide();
    OptAll->setEnabled(false);
    OptSelect->setEnabled(false);
    Dir1->hide();
    lstSelect->hide();
    for (QWidget *w : std::initializer_list<QWidget *> { lblFolder, Label2, txtFolder })
        w->hide();

    // Opening.
    resize(720, 480);
    CentreOnScreen(*this, context, services);
    lblStatus->setText(QStringLiteral("SELECT OPTION BELOW"));
    Label1->setText(
        QStringLiteral("BACKUP: Click down arrow to select drive to backup to.   RESTORE: Select "
                       "the directory to restore from to enable restore options."));
}

void FrmProcessDataFiles::buildControls()
{
    setObjectName(QStringLiteral("frmProcessDataFiles"));
    setWindowTitle(QStringLiteral("BACKUP/RESTORE DATA FILES"));
    fraOptions = Named(new QGroupBox(QStringLiteral("SELECT ONE"), this), "fraOptions");
    OptBackup = Named(new QRadioButton(QStringLiteral("Backup"), fraOptions), "OptBackup");
    OptRestore = Named(new QRadioButton(QStringLiteral("Restore "), fraOptions), "OptRestore");
    fraRestore = Named(new QGroupBox(QStringLiteral("Restore Options"), this), "fraRestore");
    OptAll = Named(new QRadioButton(QStringLiteral("Restore All"), fraRestore), "OptAll");
    OptSelect = Named(new QRadioButton(QStringLiteral("Select Database"), fraRestore), "OptSelect");
    Drive1 = Named(new QComboBox(this), "Drive1");
    Dir1 = Named(new QTreeView(this), "Dir1");
    lstSelect = Named(new QListWidget(this), "lstSelect");
    lblFolder
        = Named(new QLabel(QStringLiteral("ENTER FOLDER NAME AND HIT ENTER"), this), "lblFolder");
    // An example in this platform's form of a path on a removable drive.
    Label2 = Named(new QLabel(QStringLiteral("Example ")
                           + QDir::toNativeSeparators(
#ifdef Q_OS_WIN
                               QStringLiteral("E:/0929/")),
#else
                               QStringLiteral("/media/usb/0929/")),
#endif
                       this),
        "Label2");
    txtFolder = Named(new QLineEdit(this), "txtFolder");
    Label1 = Named(new QLabel(this), "Label1");
    Label1->setWordWrap(true);
    lblStatus = Named(new QLabel(this), "lblStatus");
    lblStatus->setWordWrap(true);
    lblStatus1 = Named(new QLabel(this), "lblStatus1");
    cmdDone = Named(new QPushButton(QStringLiteral("DONE"), this), "cmdDone");
    cmdDone->setAutoDefault(false);
}

void FrmProcessDataFiles::listDrives()
{
    // The drives of this machine: every mounted volume, removable media among them, and home.
    Drive1->addItem(QDir::homePath());
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && Drive1->findText(volume.rootPath()) < 0)
            Drive1->addItem(volume.rootPath());
    }
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QString());
    Dir1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setRootIndex(m_folders->index(Drive1->currentText()));
}

void FrmProcessDataFiles::layOut()
{
    auto *options = new QVBoxLayout(fraOptions);
    options->addWidget(OptBackup);
    options->addWidget(OptRestore);
    auto *restoreOptions = new QVBoxLayout(fraRestore);
    restoreOptions->addWidget(OptAll);
    restoreOptions->addWidget(OptSelect);
    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 3);
    layout->addWidget(fraOptions, 1, 0);
    layout->addWidget(fraRestore, 2, 0);
    layout->addWidget(Drive1, 1, 1);
    layout->addWidget(Dir1, 2, 1, 3, 1);
    layout->addWidget(lstSelect, 1, 2, 4, 1);
    layout->addWidget(lblFolder, 5, 0, 1, 2);
    layout->addWidget(txtFolder, 6, 0, 1, 2);
    layout->addWidget(Label2, 7, 0, 1, 2);
    layout->addWidget(lblStatus, 8, 0, 1, 3);
    layout->addWidget(lblStatus1, 9, 0, 1, 3);
    layout->addWidget(cmdDone, 10, 2);
}

void FrmProcessDataFiles::wire()
{
    connect(OptBackup, &QRadioButton::clicked, this, &FrmProcessDataFiles::OptBackup_Click);
    connect(OptRestore, &QRadioButton::clicked, this, &FrmProcessDataFiles::OptRestore_Click);
    connect(OptAll, &QRadioButton::clicked, this, &FrmProcessDataFiles::OptAll_Click);
    connect(OptSelect, &QRadioButton::clicked, this, &FrmProcessDataFiles::OptSelect_Click);
    connect(Drive1, &QComboBox::currentTextChanged, this,
        [this](const QString &drive) { Dir1->setRootIndex(m_folders->index(drive)); });
    connect(Dir1, &QTreeView::clicked, this,
        [this](const QModelIndex &index) { chooseFolder(m_folders->filePath(index)); });
    // The folder highlighted is the source, whether the mouse or the arrow keys put it there.
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &index) {
            if (index.isValid())
                chooseFolder(m_folders->filePath(index));
        });
    connect(lstSelect, &QListWidget::itemClicked, this,
        [this](QListWidgetItem *item) { lstSelect_Click(item->text()); });
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    txtFolder->installEventFilter(this);
}

bool FrmProcessDataFiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFolder) {
        if (event->type() == QEvent::FocusIn && txtFolder->text().isEmpty()) {
            txtFolder->setText(QDir::toNativeSeparators(Drive1->currentText()));
            txtFolder->setCursorPosition(int(txtFolder->text().size()));
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                txtFolder_Enter();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmProcessDataFiles::busy(bool on)
{
    // No other choice, and no DONE, while files are being copied.
    for (QWidget *w : std::initializer_list<QWidget *> {
             fraOptions, fraRestore, Drive1, Dir1, lstSelect, txtFolder, cmdDone })
        w->setEnabled(!on);
}

void FrmProcessDataFiles::done(const QString &text, bool ok)
{
    lblStatus->setText(text);
    lblStatus->setStyleSheet(
        ok ? QStringLiteral("color: rgb(0, 255, 0);") : QStringLiteral("color: red;"));
    lblStatus1->clear();
}

void FrmProcessDataFiles::OptBackup_Click()
{
    lblStatus->setStyleSheet(QString());
    lblStatus->setText(QStringLiteral("ENTER THE DRIVE AND PATH TO STORE THE BACKUP FILES"));
    for (QWidget *w : std::initializer_list<QWidget *> { lblFolder, Label2, txtFolder })
        w->show();
    txtFolder->setFocus();
}

void FrmProcessDataFiles::txtFolder_Enter()
{
    // Folder names keep their case: most file systems here tell capitals apart.
    const QString destination = QDir::fromNativeSeparators(txtFolder->text().trimmed());
    busy(true);
    const CopyReport report = BackupStationFiles(
        m_context.countyTable, m_context.DataFolder, destination, [this](int n) {
            lblStatus1->setText(ProgressDots(n));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    busy(false);
    if (!report.ok()) {
        // Nothing is claimed: the operator learns which file failed and why.
        done(QStringLiteral("BACKUP FAILED - ") + report.failure.error(), false);
        return;
    }
    done(report.missing == 0
            ? QStringLiteral("BACKUP COMPLETE")
            : QStringLiteral("BACKUP COMPLETE - %1 COUNTIES HAVE NO FILE").arg(report.missing),
        true);
    for (QWidget *w : std::initializer_list<QWidget *> { lblFolder, Label2, txtFolder })
        w->hide();
    txtFolder->clear();
    OptBackup->setAutoExclusive(false);
    OptBackup->setChecked(false);
    OptBackup->setAutoExclusive(true);
}

void FrmProcessDataFiles::OptRestore_Click()
{
    fraRestore->show();
    Dir1->show();
    lblStatus->setStyleSheet(QString());
    lblStatus->setText(QStringLiteral("SELECT FOLDER TO RESTORE FROM"));
}

void FrmProcessDataFiles::chooseFolder(const QString &folder)
{
    m_source = folder;
    OptAll->setEnabled(true);
    OptSelect->setEnabled(true);
}

void FrmProcessDataFiles::restore(const QStringList &names)
{
    if (m_source.isEmpty()) {
        done(QStringLiteral("SELECT FOLDER TO RESTORE FROM"), false);
        return;
    }
    // A new folder for each restore: two in one second never share one.
    const QString stamp = m_services.paths.backupFolder() + QStringLiteral("before-restore-")
        + m_services.clock->now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString safety = stamp + u'/';
    for (int n = 2; QFileInfo::exists(safety); ++n)
        safety = stamp + QStringLiteral("-%1/").arg(n);
    busy(true);
    const CopyReport report
        = RestoreStationFiles(m_context.countyTable, m_context.DataFolder, m_source, names, safety);
    busy(false);
    const QString from = QStringLiteral(" FROM ") + QDir::toNativeSeparators(m_source);
    if (!report.ok()) {
        done(QStringLiteral("RESTORE FAILED") + from + QStringLiteral(" - ")
                + report.failure.error(),
            false);
        return;
    }
    QString text = QStringLiteral("RESTORE COMPLETE") + from;
    if (report.missing > 0)
        text += QStringLiteral(" - %1 FILES WERE NOT IN THE FOLDER").arg(report.missing);
    if (!report.safetyFolder.isEmpty())
        text += QStringLiteral(" - THE FORMER FILES ARE KEPT IN ")
            + QDir::toNativeSeparators(report.safetyFolder);
    done(text, true);
}

void FrmProcessDataFiles::OptAll_Click()
{
    restore({});
}

void FrmProcessDataFiles::OptSelect_Click()
{
    lblStatus->setStyleSheet(QString());
    lblStatus->setText(QStringLiteral("SELECT FOLDER TO RESTORE FROM"));
    lstSelect->clear();
    lstSelect->addItems(StationFileNames(m_context.countyTable));
    lstSelect->show();
}

void FrmProcessDataFiles::lstSelect_Click(const QString &name)
{
    restore({ name });
}
