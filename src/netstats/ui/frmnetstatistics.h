#pragma once

#include "netstats/netstatistics.h"

#include <QWidget>

class CountyMapView;
class NetShare;
class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
struct Services;
struct StartupContext;

// Reports > Net Statistics...: the month (QNI and QTC of each session, the totals, the
// average QNI by weekday and by net control), the last twelve months, the county map of the
// month's check-ins, and the members not heard for ten months. The whole net's figures when
// sharing is on, this PC's otherwise. Each page is saved as a picture (PNG or PDF) and its
// numbers as CSV. Not modal.
class FrmNetStatistics : public QWidget
{
    Q_OBJECT
public:
    FrmNetStatistics(
        Services &services, StartupContext &context, NetShare &share, QWidget *parent = nullptr);

    // Reads the logs and the station files again and shows the chosen month.
    void showStatistics();

private:
    void showMonth();
    void showYear();
    void showMap();
    void showMembersToCall();
    void cmdSavePicture_Click();
    void cmdSaveCsv_Click();
    void cmdCopyMembers_Click();

    Services &m_services;
    StartupContext &m_context;
    NetShare &m_share;
    QList<StatSession> m_sessions; // the last two years
    MonthStatistics m_month;
    QList<MonthPoint> m_year;
    QStringList m_withMembers;
    QList<MemberToCall> m_membersToCall;

    QComboBox *cboStatsMonth;
    QLabel *lblStatsSource;
    QTabWidget *tabStatistics;
    QChartView *chartMonth;
    QLabel *lblMonthTotals;
    QTreeWidget *tblAverages;
    QChartView *chartYear;
    CountyMapView *mapCounties;
    QListWidget *lstMapCounties;
    QTreeWidget *tblMembersToCall;
    QPushButton *cmdCopyMembers;
    QPushButton *cmdSavePicture;
    QPushButton *cmdSaveCsv;
    QPushButton *cmdClose;
};
