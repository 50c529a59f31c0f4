#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>

class QGroupBox;
class QWidget;

// A frame's caption too wide for its frame (a big form font on a small screen) is set
// smaller until it fits; the size chosen and stored stays as it is.
void FitCaption(QGroupBox *frame);

// The fonts and colours of a window's controls, reached by object name.
//
// Every control gets a font and palette of its own, so a frame's new font or colour never
// spills into the controls inside it. Each size is kept at the window's design height: the
// window shows it scaled by its height while it is not maximised, and as it is while it is.
// A size chosen in a scaled window is the one shown at the moment of the choice; what is
// kept (and stored) is that size at the design height, so the next start shows the same.
class ControlLook
{
public:
    explicit ControlLook(QWidget *root);

    QWidget *control(const QString &name) const;

    void setFace(const QStringList &names, const QString &face);
    void setBold(const QStringList &names, bool bold);
    void setItalic(const QStringList &names, bool italic);
    // The size to show now, in the window as it is.
    void setSize(const QStringList &names, double points);
    // The size at the design height: a stored size.
    void setDesignSize(const QStringList &names, double points);
    void setTextColor(const QStringList &names, const QColor &color);
    void setBackground(const QStringList &names, const QColor &color);

    QFont font(const QString &name) const; // with the size at the design height
    QColor textColor(const QString &name) const;
    QColor background(const QString &name) const;

    // These controls never show smaller than their first size, whatever the window's size.
    void keepAtLeastDesignSize(const QStringList &names);
    // The window's height as a share of its design height, and whether it is maximised.
    void scale(double heightShare, bool maximised);

private:
    struct Size
    {
        double base = 0; // at the design height: what is stored
        double floor = 0; // never shown smaller (0: no floor)
    };
    void show(QWidget *w);
    QList<QWidget *> controls(const QStringList &names) const;

    QWidget *m_root;
    QHash<QString, QPointer<QWidget>> m_byName;
    QHash<QWidget *, Size> m_sizes;
    double m_share = 1;
    bool m_maximised = false;
};
