#pragma once

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

// The window background, with the divider lines between the areas.
class MainCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit MainCanvas(QWidget *parent)
        : QWidget(parent)
    {
    }
    QList<QLineF> lines;
    QRectF outline;
    QColor lineColor = Qt::black;

    void setLineColor(const QColor &color)
    {
        lineColor = color;
        update();
    }
    QColor background() const { return palette().color(QPalette::Window); }
    void setBackground(const QColor &color)
    {
        QPalette p = palette();
        p.setColor(QPalette::Window, color);
        setPalette(p);
        setAutoFillBackground(true);
    }

signals:
    void backgroundClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        // A click anywhere on the background sends the caret back to CALLSIGN.
        emit backgroundClicked();
        event->accept();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(lineColor, 1));
        painter.drawRect(outline);
        painter.drawLines(lines);
    }
};
