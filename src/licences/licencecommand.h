#pragma once

#include <cstdio>

class Paths;
class QString;

// The import of `vorq --import-licences FILE.zip`, with no window: the progress and the
// outcome go to err. Answers the exit status: 0 when the new database is in place. A file
// that yields no licence, or under half of those in use, replaces nothing unless forced.
int RunLicenceImport(const QString &zip, const Paths &paths, std::FILE *err, bool force = false);
