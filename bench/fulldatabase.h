#pragma once

#include "demodatabase.h"
#include "stationdb/countytable.h"
#include "stationdb/paths.h"
#include "stationdb/stationfile.h"

#include <QDate>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// The demo database is written once for the whole run: writing 116 files per benchmark
// would dominate the run time and measure nothing the operator waits for.
class FullDatabase
{
public:
    static FullDatabase &instance()
    {
        static FullDatabase db;
        return db;
    }

    const Paths &paths() const { return m_paths; }
    const CountyTable &table() const { return m_table; }
    QDate today() const { return m_today; }
    // A station in the last file of the table, so a search has to open every file.
    QString lastCall() const { return m_lastCall; }
    QString lastFile() const { return m_table.filePath(CountyTable::Last); }

private:
    FullDatabase()
        : m_paths(Paths::underRoot(m_dir.path()))
        , m_table(m_paths.dataFolder())
        , m_today(2026, 3, 10)
    {
        QString error;
        if (!m_dir.isValid() || !WriteDemoDatabase(m_paths, { m_today, true }, &error)) {
            std::fprintf(stderr, "vorq-bench: no demo database: %s\n", qPrintable(error));
            std::exit(1);
        }
        StationFile last(lastFile());
        if (!last.open()) {
            std::fprintf(stderr, "vorq-bench: cannot read %s\n", qPrintable(lastFile()));
            std::exit(1);
        }
        m_lastCall = last.read(RecordsPerFile).trimmed().Call;
        if (last.recordCount() != RecordsPerFile || m_lastCall.isEmpty()) {
            std::fprintf(stderr, "vorq-bench: the demo database is not full\n");
            std::exit(1);
        }
    }

    QTemporaryDir m_dir;
    Paths m_paths;
    CountyTable m_table;
    QDate m_today;
    QString m_lastCall;
};
