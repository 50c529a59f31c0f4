#include "checkintable.h"

CheckinTable::Walk CheckinTable::walk(const QString &call) const
{
    for (int k = 1; k <= LastTyped; ++k) {
        if (m_entries[k].isEmpty())
            return { Walk::Free, k };
        if (m_entries[k] == call)
            return { Walk::Match, k };
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
