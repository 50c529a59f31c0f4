#include "licenceimportwindow.h"

#include "licences/licencedatabase.h"
#include "licences/licencedownload.h"
#include "licences/licenceimport.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

QString ImportLicenceDatabase(QWidget *parent, Services &services)
{
    QString zip;
    bool downloaded = false;
    if (const QUrl url = LicenceDownloadUrl(*services.settings); url.isValid() && services.web) {
        const MsgButton answer = services.dialogs->message(parent, QStringLiteral("VORQ"),
            QStringLiteral("DOWNLOAD THE LICENCE FILE FROM %1?\n(NO: CHOOSE A FILE ON THIS "
                           "COMPUTER)")
                .arg(url.host()),
            MsgIcon::Question, Yes | No | Cancel, Yes);
        if (answer == Cancel)
            return QString();
        if (answer == Yes) {
            // The web client takes no input while it waits, so there is nothing to cancel:
            // a stalled line ends the download by itself.
            QProgressDialog bar(
                QStringLiteral("DOWNLOADING THE LICENCE FILE..."), QString(), 0, 1000, parent);
            bar.setWindowTitle(QStringLiteral("VORQ"));
            bar.setWindowModality(Qt::WindowModal);
            bar.setMinimumDuration(0);
            bar.setValue(0);
            const Result<QString> file = DownloadLicenceZip(*services.web, url,
                QFileInfo(LicenceDatabasePath(services.paths)).absolutePath(),
                [&bar](qint64 received, qint64 total) {
                    if (total > 0)
                        bar.setValue(int(received * 1000 / total));
                    else
                        bar.setRange(0, 0);
                });
            bar.close();
            if (!file)
                return QStringLiteral("LICENCE DOWNLOAD FAILED - ") + file.error();
            zip = *file;
            downloaded = true;
        }
    }
    if (zip.isEmpty())
        zip = services.dialogs->chooseOpenFile(parent,
            QStringLiteral("IMPORT LICENCE DATABASE - CHOOSE THE FCC FILE L_AMAT.ZIP"),
            QDir::homePath(), QStringLiteral("Zip files (*.zip *.ZIP);;All files (*)"));
    if (zip.isEmpty())
        return QString();
    QProgressDialog progress(QStringLiteral("IMPORTING THE LICENCE DATABASE..."),
        QStringLiteral("Cancel"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("dlgLicenceImport"));
    progress.setWindowTitle(QStringLiteral("VORQ"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    // The import runs here, between events: the bar moves and Cancel is heard at every
    // block of the zip and every slice of the join.
    const Result<LicenceImportReport> report = ImportLicenceZip(
        zip, LicenceDatabasePath(services.paths),
        [&](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        },
        [&](qint64 fresh, qint64 inUse) {
            return services.dialogs->message(parent, QStringLiteral("VORQ"),
                       QStringLiteral("THE FILE %1 YIELDS %2 LICENCES; THE DATABASE IN USE HOLDS "
                                      "%3.\n\nIT MAY BE DAMAGED OR NOT THE COMPLETE FILE. "
                                      "REPLACE THE DATABASE ALL THE SAME?")
                           .arg(QFileInfo(zip).fileName())
                           .arg(fresh)
                           .arg(inUse),
                       MsgIcon::Warning, Yes | No, No)
                == Yes;
        });
    progress.close();
    if (downloaded)
        QFile::remove(zip);
    if (!report) {
        if (report.error() == LicenceImportCancelledText())
            return QStringLiteral("LICENCE IMPORT CANCELLED - THE PREVIOUS DATABASE STAYS IN USE");
        return QStringLiteral("LICENCE IMPORT FAILED - ") + report.error();
    }
    QString text = QStringLiteral("LICENCE DATABASE IMPORTED: %1 CALLS, FILE OF %2")
                       .arg(report->licences)
                       .arg(report->fileDate.toString(QStringLiteral("M/d/yyyy")));
    if (report->malformedLines > 0)
        text += QStringLiteral(" - %1 MALFORMED LINES SKIPPED (FIRST: %2)")
                    .arg(report->malformedLines)
                    .arg(report->malformed.value(0));
    return text;
}
