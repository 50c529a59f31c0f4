// File > Import Station Files...: the station files a net manager sends, as a folder or a
// zip, brought in through the restore with its safety copy.

#include "frmmain.h"

#include "backup/stationbackup.h"
#include "platform/services.h"
#include "session/ui/countypanel.h"
#include "startup/startupcontext.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

void FrmMain::mnuFileImportStationFiles_Click()
{
    // One picker for both: the zip itself, or any station file of the folder to take.
    const QString chosen = m_services.dialogs->chooseOpenFile(this,
        QStringLiteral(
            "IMPORT STATION FILES - CHOOSE THE ZIP FILE, OR ANY .DAT FILE OF THE FOLDER"),
        QDir::homePath(), QStringLiteral("Station files (*.zip *.dat *.DAT *.ZIP);;All files (*)"));
    if (chosen.isEmpty()) {
        Change_Caret();
        return;
    }
    const QFileInfo file(chosen);
    const QString source = file.suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0
        ? file.filePath()
        : file.absolutePath();
    // Station files already there are kept before any is replaced; a first import has none.
    const bool anyFiles
        = !QDir(m_context.DataFolder).entryList({ QStringLiteral("*.dat") }, QDir::Files).isEmpty();
    const QString safety = anyFiles
        ? m_services.paths.backupFolder() + QStringLiteral("before-import-")
            + m_services.clock->now().toString(QStringLiteral("yyyyMMdd-HHmmss")) + u'/'
        : QString();
    const ImportReport report
        = ImportStationFiles(m_context.countyTable, m_context.DataFolder, source, safety);
    QString text;
    if (!report.ok()) {
        text = QStringLiteral("IMPORT FAILED - ") + report.error;
        if (!report.taken.isEmpty())
            text += QStringLiteral(" - ") + QString::number(report.taken.size())
                + QStringLiteral(" FILES WERE COPIED BEFORE THAT");
        m_services.sounds->play(SoundName::Notify());
    } else {
        text = QStringLiteral("IMPORTED %1 STATION FILES").arg(report.taken.size());
        if (!report.skipped.isEmpty())
            text += QStringLiteral(" - SKIPPED: ") + report.skipped.join(QStringLiteral(", "));
    }
    if (!report.safetyFolder.isEmpty())
        text += QStringLiteral(" - THE FORMER FILES ARE KEPT IN ")
            + QDir::toNativeSeparators(report.safetyFolder);
    // The counties that now have members come into the list, in early mode.
    const QStringList unreadable = m_counties->fill(m_context.countyTable);
    lstCounties->setCurrentRow(0);
    if (const QString notice = m_session.takeUnreadableNotice(unreadable); !notice.isEmpty())
        text += QStringLiteral(" - ") + notice;
    lblStatus()->setText(text);
    Change_Caret();
}
