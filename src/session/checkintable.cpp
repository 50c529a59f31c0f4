#include "checkintable.h"

CheckinTable::Walk CheckinTable::walk(const QString &call) const
{
    if (const int k = find(call, Last); k > 0 && !call.isEmpty())
        return { Walk::Match, k };
    for (int k = 1; k <= LastTyped; ++k) {
        if (m_entries[k].isEmpty())
            return { Walk::Free, k };
    }
    return { Walk::Full, 0 };
}

int CheckinTable::find(const QString &call, int last) const
{
    for (int k = 1; k <= last && k <= Last; ++k) {
        if (m_entries[k] == call)
            return k;
    }
    return 0;
}

int CheckinTable::stationCount() const
{
    int count = 0;
    for (int k = 1; k <= Last; ++k) {
        if (!m_entries[k].isEmpty() && m_entries[k] != Deleted())
            ++count;
    }
    return count;
}
