#pragma once

#include <QDialog>

struct Services;
struct StartupContext;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the operator's first name on the very first start. It closes only with a name:
// the start-up cannot go on without one.
class FrmUserName : public QDialog
{
    Q_OBJECT

public:
    FrmUserName(Services &services, StartupContext &context, QWidget *parent = nullptr);

    // The name as typed; the start-up sequence upper-cases and stores it.
    QString userName() const;

public slots:
    // Escape and the close box do not end the prompt without a name.
    void reject() override;

private:
    QLabel *lblUser = nullptr;
    QLineEdit *txtUser = nullptr;
    QPushButton *CmdExit = nullptr;

    void CmdExit_Click();
};
