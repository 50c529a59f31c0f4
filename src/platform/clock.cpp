#include "clock.h"

#include "commandline.h"

SystemClock::SystemClock(const QDateTime &startAt)
    : m_offsetMs(QDateTime::currentDateTime().msecsTo(startAt))
{
}

std::unique_ptr<SystemClock> SystemClock::fromEnvironment()
{
    const QString text = qEnvironmentVariable("VORQ_NOW");
    // A moment that is not of the form leaves the system time, as it always has.
    return startingAt(
        text.isEmpty() ? QDateTime() : QDateTime::fromString(text, StartMomentFormat()));
}

std::unique_ptr<SystemClock> SystemClock::startingAt(const QDateTime &startAt)
{
    if (startAt.isValid())
        return std::make_unique<SystemClock>(startAt);
    return std::make_unique<SystemClock>();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime().addMSecs(m_offsetMs);
}
