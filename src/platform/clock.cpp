#include "clock.h"

SystemClock::SystemClock(const QDateTime &startAt)
    : m_offsetMs(QDateTime::currentDateTime().msecsTo(startAt))
{
}

std::unique_ptr<SystemClock> SystemClock::fromEnvironment()
{
    const QString text = qEnvironmentVariable("VORQ_NOW");
    if (!text.isEmpty()) {
        const QDateTime start = QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (start.isValid())
            return std::make_unique<SystemClock>(start);
    }
    return std::make_unique<SystemClock>();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime().addMSecs(m_offsetMs);
}
