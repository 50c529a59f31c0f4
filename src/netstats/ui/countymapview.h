#pragma once

#include "netstats/netstatistics.h"

#include <QImage>
#include <QMap>
#include <QStringList>
#include <QWidget>

// What the map shows: each home county's check-ins of the month, and which counties have
// members at all (one with members and no check-in is marked).
struct MapShading
{
    QMap<QString, int> checkins; // by file base name
    QStringList withMembers;
};

// The five steps of the legend: 0, then four equal parts up to the month's most.
int ShadeStep(int checkins, int most);

// Draws the counties into a rectangle, keeping their shape, with the legend below.
void PaintCountyMap(QPainter &painter, const QRectF &area, const QList<CountyOutline> &counties,
    const MapShading &shading);
// The map as a picture of the given size (white behind).
QImage CountyMapImage(const QList<CountyOutline> &counties, const MapShading &shading, QSize size);

// The map in the window: names on hover, and the county under the pointer told.
class CountyMapView : public QWidget
{
    Q_OBJECT
public:
    explicit CountyMapView(QWidget *parent = nullptr);
    void setShading(const MapShading &shading);
    const QList<CountyOutline> &counties() const { return m_counties; }
    // The county at a point of the widget, or empty.
    QString countyAt(const QPointF &point) const;

signals:
    void hovered(const QString &county);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QList<CountyOutline> m_counties;
    MapShading m_shading;
};
