#pragma once

#include "stationdb/result.h"

#include <QStringList>

#include <QWidget>

struct Services;
struct StartupContext;
class QLabel;
class QTimer;

// The steps of the load sequence whose windows come from other parts of the program, each
// run at its place in the sequence.
class SplashSteps
{
public:
    virtual ~SplashSteps() = default;
    // Before any other question or window: after a stop, the net that stopped comes first.
    virtual void askToResume() = 0;
    // The update check: false when the program is to end (an installer was started).
    virtual bool checkForUpdate() = 0;
    // The offer to log in to the call-sign lookup service.
    virtual void offerQrzLogin() = 0;
};

// The first window: prepares the start-up context and the folders, asks what the first start
// needs, shows today's net control, and five seconds later hands over to the main window.
class FrmSplash : public QWidget
{
    Q_OBJECT

public:
    FrmSplash(Services &services, StartupContext &context, QWidget *parent = nullptr);

    // Runs the load sequence and shows the window. False when a step ended the program (an
    // update installer took over); the main window must then not open.
    bool start();

    // The steps of other parts; without them those steps do nothing.
    void setSteps(SplashSteps *steps) { m_steps = steps; }

    // The load sequence, in order (modal windows and messages go through the services); then
    // the hand-over waits five seconds. False when a step ended the program.
    bool runLoadSequence();
    bool handOverPending() const;
    // The five-second step: Christmas greeting, first-start instructions, then the hand-over.
    void handOver();

    // The design size; a 1024 x 768 screen gets a smaller window.
    static constexpr int DesignWidth = 560;
    static constexpr int DesignHeight = 400;

signals:
    // The sequence is done; the main window opens now. The splash closes right after.
    void startupFinished();

private:
    QTimer *Timer1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *lblBuild = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblNetCtlName = nullptr;
    QLabel *lblNetCtlCall = nullptr;
    QLabel *lblName = nullptr;
    QLabel *lblGM = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *WinLogo = nullptr;
    QLabel *Image1 = nullptr;

    // Keeps a failed save to be told at the end of the load.
    void reportSave(const Status &saved);
    void placeWindow();
    void askUserName();
    void showWindowsLogo();
    void runDaylightSavingCheck();

    Services &m_services;
    StartupContext &m_context;
    QStringList m_saveFailures;
    SplashSteps *m_steps = nullptr;
};
