#include "controllook.h"

#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLineEdit>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Lists and boxes draw their text on the base colour; labels and frames on the window's.
bool DrawsOnBase(const QWidget *w)
{
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QLineEdit *>(w);
}

QPalette::ColorRole TextRole(const QWidget *w)
{
    return DrawsOnBase(w) ? QPalette::Text : QPalette::WindowText;
}

QPalette::ColorRole BackRole(const QWidget *w)
{
    return DrawsOnBase(w) ? QPalette::Base : QPalette::Window;
}

} // namespace

void FitCaption(QGroupBox *frame)
{
    QFont font = frame->font();
    const int room = frame->width() - 2 * frame->fontMetrics().averageCharWidth();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(frame->title()) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != frame->font())
        frame->setFont(font);
}

ControlLook::ControlLook(QWidget *root)
    : m_root(root)
{
    const QList<QWidget *> all = root->findChildren<QWidget *>();
    for (QWidget *w : all) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        m_byName.insert(name, w);
        QFont f = w->font();
        // Setting each part marks it as the control's own.
        f.setFamily(f.family());
        f.setBold(f.bold());
        f.setItalic(f.italic());
        f.setPointSizeF(f.pointSizeF());
        w->setFont(f);
        QPalette p = w->palette();
        for (QPalette::ColorRole role :
            { QPalette::WindowText, QPalette::Text, QPalette::Base, QPalette::Window })
            p.setBrush(role, p.brush(role));
        w->setPalette(p);
        m_sizes.insert(w, { f.pointSizeF(), 0 });
    }
}

QWidget *ControlLook::control(const QString &name) const
{
    return m_byName.value(name);
}

QList<QWidget *> ControlLook::controls(const QStringList &names) const
{
    QList<QWidget *> out;
    for (const QString &name : names) {
        // A control this window does not have is skipped.
        if (QWidget *w = control(name))
            out << w;
    }
    return out;
}

void ControlLook::setFace(const QStringList &names, const QString &face)
{
    for (QWidget *w : controls(names)) {
        QFont f = w->font();
        f.setFamily(face);
        w->setFont(f);
    }
}

void ControlLook::setBold(const QStringList &names, bool bold)
{
    for (QWidget *w : controls(names)) {
        QFont f = w->font();
        f.setBold(bold);
        w->setFont(f);
    }
}

void ControlLook::setItalic(const QStringList &names, bool italic)
{
    for (QWidget *w : controls(names)) {
        QFont f = w->font();
        f.setItalic(italic);
        w->setFont(f);
    }
}

void ControlLook::setSize(const QStringList &names, double points)
{
    for (QWidget *w : controls(names)) {
        Size &s = m_sizes[w];
        // Sizes are stored in whole points where the window is scaled.
        s.base = m_maximised || qFuzzyCompare(m_share, 1.0)
            ? points
            : std::max(1.0, std::round(points / m_share));
        show(w);
    }
}

void ControlLook::setDesignSize(const QStringList &names, double points)
{
    for (QWidget *w : controls(names)) {
        Size &s = m_sizes[w];
        s.base = points;
        show(w);
    }
}

void ControlLook::setTextColor(const QStringList &names, const QColor &color)
{
    for (QWidget *w : controls(names)) {
        QPalette p = w->palette();
        p.setColor(TextRole(w), color);
        // Frames draw their caption in either, depending on the style.
        if (qobject_cast<QGroupBox *>(w))
            p.setColor(QPalette::Text, color);
        w->setPalette(p);
    }
}

void ControlLook::setBackground(const QStringList &names, const QColor &color)
{
    for (QWidget *w : controls(names)) {
        QPalette p = w->palette();
        p.setColor(BackRole(w), color);
        w->setPalette(p);
        if (!DrawsOnBase(w))
            w->setAutoFillBackground(true);
    }
}

QFont ControlLook::font(const QString &name) const
{
    QWidget *w = control(name);
    if (!w)
        return QFont();
    QFont f = w->font();
    f.setPointSizeF(m_sizes.value(w).base);
    return f;
}

QColor ControlLook::textColor(const QString &name) const
{
    QWidget *w = control(name);
    return w ? w->palette().color(TextRole(w)) : QColor();
}

QColor ControlLook::background(const QString &name) const
{
    QWidget *w = control(name);
    return w ? w->palette().color(BackRole(w)) : QColor();
}

void ControlLook::keepAtLeastDesignSize(const QStringList &names)
{
    for (QWidget *w : controls(names))
        m_sizes[w].floor = m_sizes[w].base;
}

void ControlLook::scale(double heightShare, bool maximised)
{
    if (heightShare <= 0)
        return;
    m_share = heightShare;
    m_maximised = maximised;
    for (const QPointer<QWidget> &w : std::as_const(m_byName)) {
        if (w)
            show(w);
    }
}

void ControlLook::show(QWidget *w)
{
    const Size s = m_sizes.value(w);
    double points = m_maximised ? s.base : s.base * m_share;
    points = std::max({ points, s.floor, 4.0 });
    QFont f = w->font();
    if (qFuzzyCompare(f.pointSizeF(), points))
        return;
    f.setPointSizeF(points);
    w->setFont(f);
}
