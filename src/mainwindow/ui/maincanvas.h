#pragma once

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <functional>

// The window background, with the divider lines between the areas.
class MainCanvas : public QWidget
{
public:
    explicit MainCanvas(QWidget *parent)
        : QWidget(parent)
    {
    }
    QList<QLineF> lines;
    QRectF outline;
    QColor lineColor = Qt::black;
    std::function<void()> backgroundClicked;

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

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        // A click anywhere on the background sends the caret back to CALLSIGN.
        if (backgroundClicked)
            backgroundClicked();
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
