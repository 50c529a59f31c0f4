#pragma once

#include "paths.h"
#include "stationdb/result.h"

#include <QLockFile>
#include <memory>

// One running copy of the program per program root: two copies writing the same station
// files and settings would each overwrite what the other just wrote.
class InstanceLock
{
public:
    explicit InstanceLock(const Paths &paths);
    ~InstanceLock();

    // Takes the lock, taking over one left by a copy that died. An error says that another
    // copy holds it, or why the lock file cannot be made.
    Status acquire();

private:
    Paths m_paths;
    std::unique_ptr<QLockFile> m_lock;
};

// Removes what interrupted writes of an earlier run left beside the program's files.
void RemoveLeftoverWrites(const Paths &paths);
