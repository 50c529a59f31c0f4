#include "mainlayout.h"

MainLayout ComputeMainLayout(const QSizeF &inner, bool disablePreamble)
{
    const double SW = inner.width();
    const double SH = inner.height();
    const double m = 120 / TwipsPerPixel;
    const double a = SW / 4.8, b = SW / 1.3, c = SW / 2, d = SH / 1.5, e = SH / 1.22, f = SW * 0.55;

    MainLayout l;
    l.outline = QRectF(QPointF(m, m), QPointF(SW - m, SH - m));
    l.dividers << QLineF(a, m, a, SH - m) << QLineF(b, m, b, SH - m);
    if (disablePreamble) {
        l.dividers << QLineF(c, m, c, SH - m) << QLineF(c, d, b, d);
    } else {
        l.dividers << QLineF(a, d, b, d) << QLineF(c, m, c, d) << QLineF(f, d, f, SH - m);
    }
    l.dividers << QLineF(b, e, SW - m, e);

    l.fraCounties = QRectF(SW * 0.0088, SH * 0.0187, SW * 0.1927, SH * 0.9633);
    l.FraStations
        = QRectF(SW * 0.2129, SH * 0.0187, SW * 0.2817, SH * (disablePreamble ? 0.96 : 0.6349));
    if (!disablePreamble)
        l.fraPreamble = QRectF(SW * 0.2129, SH * 0.6748, SW * 0.331, SH * 0.305);
    l.fraAdd = QRectF(SW * 0.505, SH * 0.0187, SW * 0.2588, SH * 0.64);
    l.FraSearch = disablePreamble ? QRectF(l.fraAdd.left(), d + m, l.fraAdd.width(), SH * 0.3048)
                                  : QRectF(SW * 0.5542, d + m, SW * 0.2088, SH * 0.3048);
    l.fraFormData = QRectF(b + 110 / TwipsPerPixel, l.fraAdd.top(), SW * 0.2148, SH * 0.7911);
    l.fraDeletedStations
        = QRectF(l.fraFormData.left(), SH * 0.829, l.fraFormData.width(), SH * 0.1);
    l.cmdExit
        = QRectF(l.fraDeletedStations.left(), SH * 0.937, l.fraDeletedStations.width(), SH * 0.05);
    return l;
}
