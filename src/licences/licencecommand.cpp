#include "licencecommand.h"

#include "licencedatabase.h"
#include "licenceimport.h"
#include "stationdb/paths.h"

#include <QFileInfo>
#include <QString>

namespace {

void Say(std::FILE *err, const QString &text)
{
    std::fputs((QStringLiteral("vorq: ") + text + u'\n').toLocal8Bit().constData(), err);
    std::fflush(err);
}

} // namespace

int RunLicenceImport(const QString &zip, const Paths &paths, std::FILE *err, bool force)
{
    bool shrinkRefused = false;
    const QString target = LicenceDatabasePath(paths);
    const QString name = QFileInfo(zip).fileName();
    int lastTenth = -1;
    const Result<LicenceImportReport> report = ImportLicenceZip(
        zip, target,
        [&](qint64 done, qint64 total) {
            // A line per tenth: stderr may be a log file, where a bar would be noise.
            const int tenth = total > 0 ? int(done * 10 / total) : 0;
            if (tenth != lastTenth) {
                lastTenth = tenth;
                Say(err, QStringLiteral("importing %1: %2%").arg(name).arg(tenth * 10));
            }
            return true;
        },
        [&](qint64, qint64) {
            shrinkRefused = !force;
            return force;
        });
    if (!report) {
        Say(err, report.error());
        Say(err, QStringLiteral("the licence database was not replaced"));
        if (shrinkRefused)
            Say(err, QStringLiteral("if this file is right, import it again with --force"));
        return 1;
    }
    if (report->malformedLines > 0) {
        Say(err, QStringLiteral("%1 malformed lines skipped:").arg(report->malformedLines));
        for (const QString &line : report->malformed)
            Say(err, QStringLiteral("  ") + line);
    }
    Say(err,
        QStringLiteral("%1 licences of %2 (file of %3) in %4")
            .arg(report->licences)
            .arg(name, report->fileDate.toString(Qt::ISODate), target));
    return 0;
}
