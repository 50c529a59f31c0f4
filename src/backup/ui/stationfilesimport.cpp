#include "stationfilesimport.h"

#include "backup/stationimport.h"
#include "platform/named.h"
#include "platform/services.h"
#include "session/netsession.h"
#include "session/ui/countypanel.h"
#include "startup/startupcontext.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>

StationFilesImport::StationFilesImport(Services &services, StartupContext &context,
    NetSession &session, CountyPanel &counties, QMenu *fileMenu, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_session(session)
    , m_counties(counties)
    , m_window(window)
{
    connect(Named(fileMenu->addAction(QStringLiteral("Import Station Files...")),
                "mnuFileImportStationFiles"),
        &QAction::triggered, this, &StationFilesImport::mnuFileImportStationFiles_Click);
}

void StationFilesImport::mnuFileImportStationFiles_Click()
{
    // One picker for both: the zip itself, or any station file of the folder to take.
    const QString chosen = m_services.dialogs->chooseOpenFile(m_window,
        QStringLiteral(
            "IMPORT STATION FILES - CHOOSE THE ZIP FILE, OR ANY .DAT FILE OF THE FOLDER"),
        QDir::homePath(), QStringLiteral("Station files (*.zip *.dat *.DAT *.ZIP);;All files (*)"));
    if (chosen.isEmpty()) {
        emit done();
        return;
    }
    const QFileInfo file(chosen);
    const QString source = file.suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0
        ? file.filePath()
        : file.absolutePath();
    // Station files already there are kept before any is replaced; a first import has none.
    const bool anyFiles
        = !QDir(m_context.DataFolder).entryList({ QStringLiteral("*.dat") }, QDir::Files).isEmpty();
    QString safety;
    if (anyFiles) {
        // A second import in the same second keeps its own copy: the first one's may be the
        // only one left of the files before both.
        const QString stamp = m_services.paths.backupFolder() + QStringLiteral("before-import-")
            + m_services.clock->now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        safety = stamp + u'/';
        for (int n = 2; QFileInfo::exists(safety); ++n)
            safety = stamp + QStringLiteral("-%1/").arg(n);
    }
    const ImportReport report
        = ImportStationFiles(m_context.countyTable, m_context.DataFolder, source, safety);
    QString text = ImportStatusText(report);
    if (!report.ok() || !report.refused.isEmpty())
        m_services.sounds->play(SoundName::Notify());
    // The counties that now have members come into the list, in early mode.
    const QStringList unreadable = m_counties.fill(m_context.countyTable).unreadable;
    m_counties.showFirstEntry();
    if (const QString notice = m_session.takeUnreadableNotice(unreadable); !notice.isEmpty())
        text += QStringLiteral(" - ") + notice;
    emit statusLine(text);
    emit done();
}
