#pragma once

#include <QDateTime>
#include <memory>

// Today and now. Every date and time the program acts on comes from here.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

// The system clock, optionally shifted so that it starts at a chosen moment (training mode:
// VORQ_NOW=yyyy-MM-ddTHH:mm:ss) and runs on from there.
class SystemClock : public Clock
{
public:
    SystemClock() = default;
    explicit SystemClock(const QDateTime &startAt);
    static std::unique_ptr<SystemClock> fromEnvironment();
    // Starts at startAt when it is valid (VORQ_NOW, --now); else the system time.
    static std::unique_ptr<SystemClock> startingAt(const QDateTime &startAt);

    QDateTime now() const override;

private:
    qint64 m_offsetMs = 0;
};
