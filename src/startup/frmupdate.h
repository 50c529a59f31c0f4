#pragma once

#include <QDialog>

class QLabel;
struct Services;
struct StartupContext;

// Shown while the update check runs.
class FrmUpdate : public QDialog
{
    Q_OBJECT
public:
    FrmUpdate(Services &services, StartupContext &context, QWidget *parent = nullptr);

    QLabel *lblUpdate;
    QLabel *lblUpdate1;
};

// The start-up's update check: frmUpdate shows while a configured check runs (none when no
// update server is set). False when an installer was started and the program is to end.
bool RunUpdateCheck(Services &services, StartupContext &context, QWidget *parent);
