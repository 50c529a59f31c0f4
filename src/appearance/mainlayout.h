#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>

// The main window's arrangement: its areas are fixed fractions of the inner size, with
// divider lines between them.
struct MainLayout
{
    QRectF fraCounties;
    QRectF FraStations;
    QRectF fraPreamble; // empty when the preamble pane is hidden
    QRectF fraAdd;
    QRectF FraSearch;
    QRectF fraFormData;
    QRectF fraDeletedStations;
    QRectF cmdExit;
    QRectF outline;
    QList<QLineF> dividers;
};

// Window lengths are kept in twips by the layout rules; 15 twips make a pixel at 96 dpi.
inline constexpr double TwipsPerPixel = 15.0;

MainLayout ComputeMainLayout(const QSizeF &inner, bool disablePreamble);
