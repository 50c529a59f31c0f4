#pragma once

#include <QDialog>

struct Services;
struct StartupContext;
class QPushButton;
class QTextEdit;

// Shows the instructions text of the per-user data folder as it is; a missing file gives an
// empty window.
class FrmInstr : public QDialog
{
    Q_OBJECT

public:
    FrmInstr(Services &services, StartupContext &context, QWidget *parent = nullptr);

private:
    QTextEdit *txtInstr = nullptr;
    QPushButton *cmdExit = nullptr;
    StartupContext &m_context;

    void cmdExit_Click();
};

// The whole of a text file as the program shows it; empty when it cannot be read.
QString ReadWholeText(const QString &path);
