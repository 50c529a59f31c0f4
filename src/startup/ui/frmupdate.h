#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
struct Services;
struct StartupContext;

// Shown while the update check runs; an installer's download shows its progress.
class FrmUpdate : public QDialog
{
    Q_OBJECT
public:
    FrmUpdate(Services &services, StartupContext &context, QWidget *parent = nullptr);

    // received of total bytes of file so far (total -1 when the server did not say).
    void showProgress(const QString &file, qint64 received, qint64 total);

private:
    QLabel *lblUpdate;
    QLabel *lblUpdate1;
    QLabel *lblProgress;
    QProgressBar *prgDownload;
};

// The start-up's update check: frmUpdate shows while a configured check runs (none when no
// update server is set). False when an installer was started and the program is to end.
bool RunUpdateCheck(Services &services, StartupContext &context, QWidget *parent);
