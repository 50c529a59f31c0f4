#pragma once

#include <QWidget>

// Tells a screen reader what the operator would see, without the focus leaving CALLSIGN:
// an object of role notification whose name is the text, shown anew at each announcement
// (a name change of a plain label is not spoken). Invisible on the screen. Texts given in
// one pass of the event loop are said once, the last of them.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
    // What was said last.
    QString text() const { return m_text; }

signals:
    // After the accessibility events of an announcement went out.
    void announced(const QString &text);

private:
    void sayPending();

    QString m_text;
    QString m_pending;
};
