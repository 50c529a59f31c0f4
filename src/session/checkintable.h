#pragma once

#include <QString>
#include <array>

// The session's table of checked-in calls, entries 1 to 150: empty is free, "DELETED" is a
// check-in taken back (neither free nor a call). Typed check-ins use entries 1 to 149; a
// check-in by click may also take entry 150.
class CheckinTable
{
public:
    static constexpr int LastTyped = 149;
    static constexpr int Last = 150;
    static QString Deleted() { return QStringLiteral("DELETED"); }

    struct Walk
    {
        enum Kind { Free, Match, Full } kind;
        int entry; // the free or matching entry; 0 when full
    };

    // The entry that holds the call (any of 1 to 150), else the first free one of 1 to 149.
    // Every entry is looked at: a check-in taken back frees its entry, and a station
    // checked in behind it must still be seen, or it would be checked in and counted twice.
    Walk walk(const QString &call) const;
    // The first entry of 1 to last that holds the call, 0 when none.
    int find(const QString &call, int last = LastTyped) const;

    QString entry(int k) const { return k >= 1 && k <= Last ? m_entries[k] : QString(); }
    void set(int k, const QString &value)
    {
        if (k >= 1 && k <= Last)
            m_entries[k] = value;
    }

    // How many entries hold a station (neither free nor taken back).
    int stationCount() const;

private:
    std::array<QString, Last + 1> m_entries;
};
