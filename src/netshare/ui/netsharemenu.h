#pragma once

#include "netshare/netshare.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class FrmNetChanges;
class FrmNetMonth;
class FrmNetStatistics;
class QMenu;
class QWidget;
struct Services;
struct StartupContext;

// Net sharing in the program: Options > Net Sharing... and Net Changes..., Reports > Net
// Month..., and this PC's NetShare, started from the settings and passing over the net folder
// while the program runs. What a pass brings is told on the status line.
class NetShareMenu : public QObject
{
    Q_OBJECT
public:
    NetShareMenu(Services &services, StartupContext &context, QMenu *options, QMenu *reports,
        QWidget *window);

    // Starts sharing as the settings say; the first pass follows at once.
    void start();
    NetShare &share() { return m_share; }

    void openNetSharing();
    void openNetChanges();
    void openNetMonth();
    void openNetStatistics();

signals:
    void statusLine(const QString &text);
    // Others' changes were written into these station files (by name).
    void stationFilesChanged(const QStringList &files);
    // Another PC's change was written into a record here.
    void recordWritten(const NetApplied &written);

private:
    void tell(const NetPass &pass);
    // The conflicts' notice when their count changed since it was last told, else nothing.
    QString conflictsNotice(int count);

    Services &m_services;
    StartupContext &m_context;
    QWidget *m_window;
    NetShare m_share;
    QPointer<FrmNetChanges> m_changes;
    QPointer<FrmNetMonth> m_month;
    QPointer<FrmNetStatistics> m_statistics;
    int m_conflictsTold = 0;
    bool m_idTold = false;
    QString m_logFailureTold;
    QStringList m_refusedTold;
};

// "2 NET CHANGES NEED A LOOK", "1 NET CHANGE NEEDS A LOOK".
QString ConflictNotice(int count);
