#pragma once

#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct Services;

// Reports > Session Logs: the past sessions (date, start, QNI, QTC), newest first; a click
// shows that session's net report. Not modal: the net goes on while it is open.
class FrmSessionLogs : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSessionLogs(Services &services, QWidget *parent = nullptr);

private:
    Services &m_services;

    QListWidget *lstSessions;
    QPlainTextEdit *txtReport;
    QPushButton *cmdClose;

    void lstSessions_Click();
};
