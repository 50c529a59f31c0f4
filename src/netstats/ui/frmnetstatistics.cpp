#include "frmnetstatistics.h"

#include "countymapview.h"

#include "netshare/netshare.h"
#include "netshare/ui/frmnetmonth.h"
#include "platform/clock.h"
#include "platform/named.h"
#include "platform/services.h"
#include "startup/startupcontext.h"
#include "stationdb/atomicfile.h"
#include "stationdb/textforms.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <functional>

namespace {

QString Totals(const MonthStatistics &m)
{
    return QStringLiteral("SESSIONS %1   QNI %2   QTC %3   QTR %4 MINUTES")
        .arg(m.sessions.size())
        .arg(m.qni)
        .arg(m.qtc)
        .arg(m.qtr);
}

// Empties a chart for its next figures: its series go with removeAllSeries, but an axis
// removed is handed back, and is deleted here.
void ClearChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

QChartView *ChartView(QWidget *parent, const char *name, const QString &accessible)
{
    auto *view = Named(new QChartView(new QChart, parent), name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(accessible);
    view->chart()->legend()->setAlignment(Qt::AlignBottom);
    return view;
}

// A picture of a page: a PNG of the given size, or a PDF page when the name ends in .pdf.
Status SavePicture(
    const QString &path, const std::function<void(QPainter &, const QRectF &)> &paint, QSize size)
{
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::Letter));
        pdf.setResolution(150);
        QPainter painter;
        if (!painter.begin(&pdf))
            return Status::Error(FileError(path, QStringLiteral("cannot be written")));
        paint(painter, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
        painter.end();
        return Status::Ok();
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return Status::Error(FileError(path, QStringLiteral("the picture could not be made")));
    }
    return WriteFileAtomically(path, png);
}

} // namespace

FrmNetStatistics::FrmNetStatistics(
    Services &services, StartupContext &context, NetShare &share, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_context(context)
    , m_share(share)
{
    setObjectName(QStringLiteral("frmNetStatistics"));
    setWindowTitle(QStringLiteral("NET STATISTICS"));
    cboStatsMonth = Named(new QComboBox(this), "cboStatsMonth");
    cboStatsMonth->setAccessibleName(QStringLiteral("Month"));
    const QDate today = services.clock->today();
    AddMonthChoices(cboStatsMonth, today, 12);
    lblStatsSource = Named(new QLabel(this), "lblStatsSource");
    tabStatistics = Named(new QTabWidget(this), "tabStatistics");

    auto *monthPage = new QWidget(tabStatistics);
    chartMonth = ChartView(monthPage, "chartMonth", QStringLiteral("QNI and QTC of each session"));
    lblMonthTotals = Named(new QLabel(monthPage), "lblMonthTotals");
    lblMonthTotals->setTextInteractionFlags(
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    tblAverages = Named(new QTreeWidget(monthPage), "tblAverages");
    tblAverages->setHeaderLabels(
        { QStringLiteral("AVERAGE QNI BY WEEKDAY, THEN BY NET CONTROL"), QStringLiteral("QNI") });
    tblAverages->setRootIsDecorated(false);
    tblAverages->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblAverages->setAccessibleName(QStringLiteral("Average QNI by weekday and by net control"));
    auto *monthBelow = new QHBoxLayout;
    monthBelow->addWidget(lblMonthTotals, 1);
    auto *monthLayout = new QVBoxLayout(monthPage);
    monthLayout->addWidget(chartMonth, 3);
    monthLayout->addLayout(monthBelow);
    monthLayout->addWidget(tblAverages, 1);
    tabStatistics->addTab(monthPage, QStringLiteral("&Month"));

    chartYear = ChartView(tabStatistics, "chartYear", QStringLiteral("The last twelve months"));
    tabStatistics->addTab(chartYear, QStringLiteral("&Year"));

    auto *mapPage = new QWidget(tabStatistics);
    mapCounties = Named(new CountyMapView(mapPage), "mapCounties");
    lstMapCounties = Named(new QListWidget(mapPage), "lstMapCounties");
    lstMapCounties->setAccessibleName(QStringLiteral("Check-ins by county"));
    auto *mapLayout = new QHBoxLayout(mapPage);
    mapLayout->addWidget(mapCounties, 3);
    mapLayout->addWidget(lstMapCounties, 1);
    tabStatistics->addTab(mapPage, QStringLiteral("M&ap"));

    auto *callPage = new QWidget(tabStatistics);
    tblMembersToCall = Named(new QTreeWidget(callPage), "tblMembersToCall");
    tblMembersToCall->setHeaderLabels({ QStringLiteral("COUNTY"), QStringLiteral("CALL"),
        QStringLiteral("NAME"), QStringLiteral("CITY"), QStringLiteral("LAST HEARD"),
        QStringLiteral("RETIRED AT THE NEXT LOOK") });
    tblMembersToCall->setRootIsDecorated(false);
    tblMembersToCall->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblMembersToCall->setAccessibleName(QStringLiteral("Members not heard for ten months"));
    cmdCopyMembers
        = Named(new QPushButton(QStringLiteral("C&opy List"), callPage), "cmdCopyMembers");
    auto *callLayout = new QVBoxLayout(callPage);
    callLayout->addWidget(tblMembersToCall, 1);
    callLayout->addWidget(cmdCopyMembers, 0, Qt::AlignLeft);
    tabStatistics->addTab(callPage, QStringLiteral("Members to &Call"));

    cmdSavePicture
        = Named(new QPushButton(QStringLiteral("Save &Picture..."), this), "cmdSavePicture");
    cmdSaveCsv = Named(new QPushButton(QStringLiteral("Save CS&V..."), this), "cmdSaveCsv");
    cmdClose = Named(new QPushButton(QStringLiteral("C&lose"), this), "cmdClose");

    auto *monthLabel = new QLabel(QStringLiteral("Mo&nth:"), this);
    monthLabel->setBuddy(cboStatsMonth);
    auto *top = new QHBoxLayout;
    top->addWidget(monthLabel);
    top->addWidget(cboStatsMonth);
    top->addSpacing(16);
    top->addWidget(lblStatsSource, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSavePicture);
    buttons->addWidget(cmdSaveCsv);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabStatistics, 1);
    layout->addLayout(buttons);
    resize(960, 680);

    connect(cboStatsMonth, &QComboBox::currentIndexChanged, this, &FrmNetStatistics::showMonth);
    connect(cboStatsMonth, &QComboBox::currentIndexChanged, this, &FrmNetStatistics::showMap);
    connect(mapCounties, &CountyMapView::hovered, this, [this](const QString &county) {
        const auto found = lstMapCounties->findItems(county.toUpper(), Qt::MatchStartsWith);
        if (!found.isEmpty())
            lstMapCounties->setCurrentItem(found.first());
    });
    connect(cmdCopyMembers, &QPushButton::clicked, this, &FrmNetStatistics::cmdCopyMembers_Click);
    connect(cmdSavePicture, &QPushButton::clicked, this, &FrmNetStatistics::cmdSavePicture_Click);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &FrmNetStatistics::cmdSaveCsv_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    showStatistics();
}

void FrmNetStatistics::showStatistics()
{
    const QDate today = m_services.clock->today();
    const QString net = m_share.isOn() ? m_share.folder() : QString();
    lblStatsSource->setText(net.isEmpty()
            ? QStringLiteral("THIS PC'S SESSIONS")
            : QStringLiteral("THE WHOLE NET'S SESSIONS (NET SHARING)"));
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-11);
    m_sessions = ReadStatSessions(m_services.paths, net, first, today);
    m_withMembers = CountiesWithMembers(m_context.countyTable);
    m_membersToCall = MembersToCall(m_context.countyTable, today);
    showMonth();
    showYear();
    showMap();
    showMembersToCall();
}

void FrmNetStatistics::showMonth()
{
    const QDate month = cboStatsMonth->currentData().toDate();
    m_month = StatisticsOfMonth(m_sessions, month.year(), month.month());
    QChart *chart = chartMonth->chart();
    ClearChart(chart);
    auto *qni = new QBarSet(QStringLiteral("QNI"));
    auto *qtc = new QBarSet(QStringLiteral("QTC"));
    QStringList categories;
    int most = 1;
    for (const StatSession &s : m_month.sessions) {
        *qni << s.qni;
        *qtc << s.qtc;
        most = std::max({ most, s.qni, s.qtc });
        categories << QStringLiteral("%1/%2 %3")
                          .arg(s.date.month())
                          .arg(s.date.day())
                          .arg(s.netControl.section(u' ', 0, 0));
    }
    auto *series = new QBarSeries;
    series->append(qni);
    series->append(qtc);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsAngle(categories.size() > 10 ? -60 : 0);
    auto *y = new QValueAxis;
    y->setRange(0, most);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->setTitle(cboStatsMonth->currentText()
        + (m_month.sessions.isEmpty() ? QStringLiteral(": NO SESSION") : QString()));
    lblMonthTotals->setText(Totals(m_month));
    tblAverages->clear();
    for (const auto &[day, average] : m_month.averageByWeekday) {
        new QTreeWidgetItem(tblAverages,
            { EnglishDayName(QDate(2026, 11, 29).addDays(day)).toUpper(),
                QString::number(average, 'f', 1) });
    }
    for (const auto &[name, average] : m_month.averageByNetControl)
        new QTreeWidgetItem(tblAverages, { name, QString::number(average, 'f', 1) });
}

void FrmNetStatistics::showYear()
{
    m_year = LastTwelveMonths(m_sessions, m_services.clock->today());
    QChart *chart = chartYear->chart();
    ClearChart(chart);
    auto *sessions = new QLineSeries;
    sessions->setName(QStringLiteral("SESSIONS"));
    auto *qni = new QLineSeries;
    qni->setName(QStringLiteral("QNI"));
    auto *qtc = new QLineSeries;
    qtc->setName(QStringLiteral("QTC"));
    auto *average = new QLineSeries;
    average->setName(QStringLiteral("AVERAGE QNI"));
    auto *x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    double most = 1;
    for (int i = 0; i < m_year.size(); ++i) {
        const MonthPoint &m = m_year[i];
        sessions->append(i, m.sessions);
        qni->append(i, m.qni);
        qtc->append(i, m.qtc);
        average->append(i, m.averageQni);
        most = std::max({ most, double(m.qni), double(m.sessions), double(m.qtc) });
        x->append(EnglishMonthName(m.month.month()).left(3).toUpper() + u' '
                + QString::number(m.month.year() % 100).rightJustified(2, u'0'),
            i);
    }
    x->setRange(0, std::max<qsizetype>(1, m_year.size() - 1));
    auto *y = new QValueAxis;
    y->setRange(0, most);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *series : { sessions, qni, qtc, average }) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart->setTitle(QStringLiteral("THE LAST TWELVE MONTHS"));
}

void FrmNetStatistics::showMap()
{
    mapCounties->setShading({ m_month.checkinsByCounty, m_withMembers });
    lstMapCounties->clear();
    for (const CountyOutline &c : mapCounties->counties()) {
        const int n = m_month.checkinsByCounty.value(c.name);
        QString line = c.name.toUpper() + QStringLiteral(": ") + QString::number(n);
        if (n == 0 && m_withMembers.contains(c.name))
            line += QStringLiteral(" - MEMBERS, NONE HEARD");
        lstMapCounties->addItem(line);
    }
}

void FrmNetStatistics::showMembersToCall()
{
    tblMembersToCall->clear();
    for (const MemberToCall &m : m_membersToCall) {
        new QTreeWidgetItem(tblMembersToCall,
            { m.county, m.station.Call, m.station.Name, m.station.City, ShortDate(m.lastHeard),
                m.due ? QStringLiteral("YES") : QString() });
    }
    if (m_membersToCall.isEmpty())
        new QTreeWidgetItem(
            tblMembersToCall, { QStringLiteral("EVERY MEMBER WAS HEARD IN THE LAST TEN MONTHS") });
}

void FrmNetStatistics::cmdCopyMembers_Click()
{
    QString text;
    for (const MemberToCall &m : m_membersToCall) {
        text += m.county + u'\t' + m.station.Call + u'\t' + m.station.Name + u'\t' + m.station.City
            + u'\t' + ShortDate(m.lastHeard) + u'\n';
    }
    QApplication::clipboard()->setText(text);
    cmdCopyMembers->setText(QStringLiteral("LIST COPIED"));
}

void FrmNetStatistics::cmdSavePicture_Click()
{
    const int page = tabStatistics->currentIndex();
    const QStringList names { QStringLiteral("month"), QStringLiteral("year"),
        QStringLiteral("map"), QStringLiteral("members") };
    const QString suggested
        = QDir(m_services.paths.root())
              .filePath(QStringLiteral("net-") + names.value(page) + u'-'
                  + cboStatsMonth->currentData().toDate().toString(QStringLiteral("yyyy-MM"))
                  + QStringLiteral(".png"));
    const QString path = m_services.dialogs->chooseSaveFile(this, QStringLiteral("Save Picture"),
        suggested, QStringLiteral("Pictures (*.png);;PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QWidget *shown = page == 0 ? static_cast<QWidget *>(chartMonth)
        : page == 1            ? static_cast<QWidget *>(chartYear)
        : page == 2            ? static_cast<QWidget *>(mapCounties)
                               : static_cast<QWidget *>(tblMembersToCall);
    const MapShading shading { m_month.checkinsByCounty, m_withMembers };
    const QList<CountyOutline> counties = mapCounties->counties();
    const Status saved = SavePicture(
        path,
        [&](QPainter &painter, const QRectF &area) {
            if (page == 2) {
                PaintCountyMap(painter, area, counties, shading);
                return;
            }
            const QPixmap grabbed = shown->grab();
            const QSizeF fitted = QSizeF(grabbed.size()).scaled(area.size(), Qt::KeepAspectRatio);
            painter.drawPixmap(QRectF(area.topLeft(), fitted), grabbed, QRectF(grabbed.rect()));
        },
        page == 2 ? QSize(1200, 1500) : shown->size() * 2);
    lblStatsSource->setText(saved ? QStringLiteral("SAVED ") + QDir::toNativeSeparators(path)
                                  : QStringLiteral("NOT SAVED: ") + saved.error());
}

void FrmNetStatistics::cmdSaveCsv_Click()
{
    const int page = tabStatistics->currentIndex();
    const QByteArray csv = page == 0 ? MonthCsv(m_month)
        : page == 1                  ? YearCsv(m_year)
        : page == 2                  ? CountyCsv(m_month, m_withMembers)
                                     : MembersToCallCsv(m_membersToCall);
    const QString path = m_services.dialogs->chooseSaveFile(this, QStringLiteral("Save CSV"),
        QDir(m_services.paths.root()).filePath(QStringLiteral("net-statistics.csv")),
        QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const Status saved = WriteFileAtomically(path, csv);
    lblStatsSource->setText(saved ? QStringLiteral("SAVED ") + QDir::toNativeSeparators(path)
                                  : QStringLiteral("NOT SAVED: ") + saved.error());
}
