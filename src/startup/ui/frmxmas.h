#pragma once

#include <QDialog>

struct Services;
struct StartupContext;
class QLabel;
class QPushButton;
class QTimer;

// The Christmas greeting: three pictures in turn, closing by itself after 15.5 seconds.
class FrmXmas : public QDialog
{
    Q_OBJECT

public:
    FrmXmas(Services &services, StartupContext &context, QWidget *parent = nullptr);

    // The picture number the next animation tick loads.
    int frame() const { return m_frame; }
    QString pictureFile() const { return m_pictureFile; }

private:
    QLabel *Image1 = nullptr;
    QPushButton *cmdExit = nullptr;
    QTimer *TimeXmas = nullptr;
    QTimer *Timer1 = nullptr;
    StartupContext &m_context;
    int m_frame = 0;
    QString m_pictureFile;

    void TimeXmas_Timer();
    void Timer1_Timer();
    void cmdExit_Click();
};
