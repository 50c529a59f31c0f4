#include "updatetraces.h"

#include "platform/services.h"
#include "startup/startupcontext.h"
#include "startup/updatecheck.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QThread>
#include <QWidget>

Q_LOGGING_CATEGORY(lcUpdateTraces, "vorq.session")

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kTrue = QStringLiteral("True");
} // namespace

void ShowDatabaseCaption(QWidget *window, Services &services, const StartupContext &context,
    const std::function<void(const QString &)> &statusLine)
{
    const QString flagFile = context.DataFolder + QStringLiteral("DbFlag.txt");
    const auto flagDate = [&flagFile]() -> std::optional<QDate> {
        const QFileInfo flag(flagFile);
        if (!flag.isFile() || !flag.lastModified().isValid())
            return std::nullopt;
        return flag.lastModified().date();
    };
    if (context.DatabaseUpdateFlag && !DatabaseUpdateFinished(context.ServerDbDate, flagDate())) {
        // The updater runs beside the program and writes the station files: the load waits
        // for it a while, and says so, rather than read half-written files.
        const QString title = window->windowTitle();
        window->setWindowTitle(
            title + QStringLiteral(" - WAITING FOR THE DATABASE UPDATE TO FINISH"));
        statusLine(QStringLiteral("WAITING FOR THE DATABASE UPDATE TO FINISH"));
        QDeadlineTimer deadline(context.DatabaseWaitMs);
        while (
            !deadline.hasExpired() && !DatabaseUpdateFinished(context.ServerDbDate, flagDate())) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 100);
            QThread::msleep(100);
        }
        window->setWindowTitle(title);
        statusLine(QString());
    }
    const DatabaseCaption caption = DatabaseCaptionOf(context.DatabaseUpdateFlag,
        context.DatabaseUpdateDue, context.ServerDbDate,
        services.settings->get(kSettings, QStringLiteral("dBDate")), flagDate());
    // No database has come with a date yet (a first start): said so, not left blank.
    const QString date = caption.date.trimmed().isEmpty() ? QStringLiteral("none") : caption.date;
    window->setWindowTitle(window->windowTitle() + QStringLiteral("  ")
        + ShortDate(services.clock->today()) + QStringLiteral(" ")
        + QStringLiteral(" - Current dB Date: ") + date + caption.tail);
}

void CleanUpUpdateFolder(Services &services)
{
    // What a program update downloaded has done its work once the program runs again, and
    // what a failed or killed download left is of no use: Temp goes whatever the mark says,
    // so the next start asks the server again.
    QDir temp(services.paths.tempFolder());
    if (temp.exists() && !temp.removeRecursively()) {
        qCWarning(lcUpdateTraces) << "not removed:" << temp.path();
        return;
    }
    if (services.settings->get(kSettings, QStringLiteral("VBUpdate")) != kTrue)
        return;
    if (const Status saved
        = services.settings->save(kSettings, QStringLiteral("VBUpdate"), QStringLiteral("False"));
        !saved)
        qCWarning(lcUpdateTraces) << "VBUpdate not saved:" << saved.error();
}
