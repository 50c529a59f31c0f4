#include "countymapview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

// Light to dark: no check-in, then four steps up to the month's most.
const QColor kSteps[5] = { QColor(0xf4, 0xf4, 0xf4), QColor(0xc6, 0xdb, 0xef),
    QColor(0x6b, 0xae, 0xd6), QColor(0x21, 0x71, 0xb5), QColor(0x08, 0x30, 0x6b) };
constexpr qreal kLegendHeight = 0.12; // of the area

QRectF Bounds(const QList<CountyOutline> &counties)
{
    QRectF bounds;
    for (const CountyOutline &c : counties)
        bounds = bounds.united(c.path.boundingRect());
    return bounds;
}

// Maps the outlines' box into the map part of an area, keeping the shape.
QTransform Fit(const QRectF &bounds, const QRectF &area)
{
    if (bounds.isEmpty() || area.isEmpty())
        return QTransform();
    const qreal scale = std::min(area.width() / bounds.width(), area.height() / bounds.height());
    const qreal dx = area.left() + (area.width() - bounds.width() * scale) / 2;
    const qreal dy = area.top() + (area.height() - bounds.height() * scale) / 2;
    return QTransform(scale, 0, 0, scale, dx - bounds.left() * scale, dy - bounds.top() * scale);
}

QRectF MapPart(const QRectF &area)
{
    return area.adjusted(4, 4, -4, -area.height() * kLegendHeight);
}

int Most(const MapShading &shading)
{
    int most = 0;
    for (const int n : shading.checkins)
        most = std::max(most, n);
    return most;
}

} // namespace

int ShadeStep(int checkins, int most)
{
    if (checkins <= 0 || most <= 0)
        return 0;
    return std::clamp(1 + (checkins - 1) * 4 / most, 1, 4);
}

void PaintCountyMap(QPainter &painter, const QRectF &area, const QList<CountyOutline> &counties,
    const MapShading &shading)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform fit = Fit(Bounds(counties), MapPart(area));
    const int most = Most(shading);
    for (const CountyOutline &c : counties) {
        const QPainterPath path = fit.map(c.path);
        const int n = shading.checkins.value(c.name);
        painter.fillPath(path, kSteps[ShadeStep(n, most)]);
        if (n == 0 && shading.withMembers.contains(c.name)) {
            // Members, and none heard this month: hatched.
            painter.fillPath(path, QBrush(QColor(0xd9, 0x48, 0x01), Qt::BDiagPattern));
        }
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawPath(path);
    }
    // The legend: five steps and the mark, under the map.
    const QRectF legend(area.left() + 4, area.bottom() - area.height() * kLegendHeight + 6,
        area.width() - 8, area.height() * kLegendHeight - 10);
    const qreal box = std::min(legend.height() * 0.45, area.width() / 36);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, int(box * 0.8)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Each step says the counts it shades, worked out by the shading's own rule; a step no
    // count reaches this month (a month's most under 4) says "-".
    QStringList labels { QStringLiteral("0") };
    for (int step = 1; step <= 4; ++step) {
        int low = 0, high = 0;
        for (int n = 1; n <= most; ++n) {
            if (ShadeStep(n, most) == step) {
                low = low == 0 ? n : low;
                high = n;
            }
        }
        labels << (low == 0   ? QStringLiteral("-")
                : low == high ? QString::number(low)
                              : QStringLiteral("%1-%2").arg(low).arg(high));
    }
    labels << QStringLiteral("MEMBERS, NONE HEARD");
    qreal x = legend.left();
    for (int i = 0; i < labels.size(); ++i) {
        const QRectF swatch(x, legend.top(), box, box);
        painter.fillRect(swatch, i < 5 ? kSteps[i] : QColor(0xf4, 0xf4, 0xf4));
        if (i == 5)
            painter.fillRect(swatch, QBrush(QColor(0xd9, 0x48, 0x01), Qt::BDiagPattern));
        painter.drawRect(swatch);
        const qreal width = painter.fontMetrics().horizontalAdvance(labels[i]) + box * 0.8;
        painter.drawText(QRectF(x + box * 1.2, legend.top(), width, box),
            Qt::AlignVCenter | Qt::AlignLeft, labels[i]);
        x += box * 1.2 + width;
    }
    painter.restore();
}

QImage CountyMapImage(const QList<CountyOutline> &counties, const MapShading &shading, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintCountyMap(painter, QRectF(QPointF(0, 0), QSizeF(size)), counties, shading);
    return image;
}

CountyMapView::CountyMapView(QWidget *parent)
    : QWidget(parent)
    , m_counties(HomeCountyOutlines())
{
    setMouseTracking(true);
    setMinimumSize(240, 300);
    setAccessibleName(QStringLiteral("County map"));
}

void CountyMapView::setShading(const MapShading &shading)
{
    m_shading = shading;
    update();
}

QString CountyMapView::countyAt(const QPointF &point) const
{
    const QTransform fit = Fit(Bounds(m_counties), MapPart(QRectF(rect())));
    bool invertible = false;
    const QPointF at = fit.inverted(&invertible).map(point);
    for (const CountyOutline &c : m_counties) {
        if (invertible && c.path.contains(at))
            return c.name;
    }
    return QString();
}

void CountyMapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PaintCountyMap(painter, QRectF(rect()), m_counties, m_shading);
}

void CountyMapView::mouseMoveEvent(QMouseEvent *event)
{
    const QString county = countyAt(event->position());
    if (county.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const int n = m_shading.checkins.value(county);
    QToolTip::showText(event->globalPosition().toPoint(),
        county.toUpper()
            + (n == 1 ? QStringLiteral(": 1 CHECK-IN") : QStringLiteral(": %1 CHECK-INS").arg(n)),
        this);
    emit hovered(county);
}
