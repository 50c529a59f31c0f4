#pragma once

#include "stationdb/paths.h"
#include "stationdb/result.h"

#include <QDateTime>
#include <QLockFile>
#include <memory>
#include <optional>

// A lock written by a copy on another computer (a root carried on a stick).
struct ForeignLock
{
    QString host;
    qint64 pid = 0;
    QDateTime since;
};

// One running copy of the program per program root: two copies writing the same station
// files and settings would each overwrite what the other just wrote.
class InstanceLock
{
public:
    explicit InstanceLock(const Paths &paths);
    ~InstanceLock();

    // Takes the lock, taking over one left by a copy that died on this computer (its
    // process gone, or its number now used by another program). An error says that another
    // copy holds it, or why the lock file cannot be made.
    Status acquire();
    // After a refusal: the lock came from another computer, which only the operator can
    // judge. takeOver() then takes it whatever holds it.
    const std::optional<ForeignLock> &foreignLock() const { return m_foreign; }
    Status takeOver();

private:
    Paths m_paths;
    std::unique_ptr<QLockFile> m_lock;
    std::optional<ForeignLock> m_foreign;
};

class Dialogs;
// Asks whether to take over a lock from another computer; No is the default.
bool AskToTakeOverLock(Dialogs &dialogs, const InstanceLock &lock);

// Removes what interrupted writes of an earlier run left beside the program's files.
void RemoveLeftoverWrites(const Paths &paths);
