#pragma once

#include <QDialog>

struct Services;
struct StartupContext;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    FrmAbout(Services &services, StartupContext &context, QWidget *parent = nullptr);

    static QString aboutText();

private:
    QLabel *Label1 = nullptr;
    QLabel *lblTitle = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdExit = nullptr;

    void cmdExit_Click();
};
