#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

#include <utility>

namespace {

class AccessibleAnnouncer : public QAccessibleWidget
{
public:
    explicit AccessibleAnnouncer(Announcer *announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const Announcer *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *MakeAccessibleAnnouncer(const QString &, QObject *object)
{
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new AccessibleAnnouncer(announcer);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessibleAnnouncer);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
}

void Announcer::announce(const QString &text)
{
    if (text.trimmed().isEmpty())
        return;
    const bool waiting = !m_pending.isEmpty();
    m_pending = text;
    if (!waiting)
        QTimer::singleShot(0, this, &Announcer::sayPending);
}

void Announcer::sayPending()
{
    m_text = std::exchange(m_pending, QString());
    // Shown again with its new name: a screen reader speaks a notification that appears, and
    // one whose name changes.
    if (isVisible())
        hide();
    show();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    emit announced(m_text);
}
