#include "netsharemenu.h"

#include "frmnetchanges.h"
#include "frmnetmonth.h"
#include "frmnetsharing.h"
#include "netstats/ui/frmnetstatistics.h"

#include "platform/services.h"
#include "platform/ui/menuentry.h"
#include "platform/ui/onewindow.h"

#include <QAction>
#include <QMenu>

#include <utility>

QString ConflictNotice(int count)
{
    return count == 1 ? QStringLiteral("1 NET CHANGE NEEDS A LOOK")
                      : QString::number(count) + QStringLiteral(" NET CHANGES NEED A LOOK");
}

NetShareMenu::NetShareMenu(
    Services &services, StartupContext &context, QMenu *options, QMenu *reports, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_window(window)
    , m_share(services.paths, *services.settings, *services.clock)
{
    options->addSeparator();
    AddEntry(options, "mnuOptionsNetSharing", QStringLiteral("&Net Sharing..."), this,
        &NetShareMenu::openNetSharing);
    AddEntry(options, "mnuOptionsNetChanges", QStringLiteral("Net &Changes..."), this,
        &NetShareMenu::openNetChanges);
    AddEntry(reports, "mnuReportsNetMonth", QStringLiteral("&Net Month..."), this,
        &NetShareMenu::openNetMonth);
    AddEntry(reports, "mnuReportsNetStatistics", QStringLiteral("Net &Statistics..."), this,
        &NetShareMenu::openNetStatistics);
    connect(&m_share, &NetShare::passed, this, &NetShareMenu::tell);
}

void NetShareMenu::start()
{
    if (const Status started = m_share.start(); !started) {
        emit statusLine(QStringLiteral("NET SHARING OFF: ") + started.error());
        return;
    }
    m_share.watch();
}

void NetShareMenu::tell(const NetPass &pass)
{
    if (m_changes)
        m_changes->showConflicts();
    for (const NetApplied &written : pass.written)
        emit recordWritten(written);
    if (!pass.changedFiles.isEmpty())
        emit stationFilesChanged(pass.changedFiles);
    // Each thing is told when it first arises, not again every minute over the net's lines.
    QStringList notices;
    if (pass.applied > 0)
        notices << (pass.applied == 1
                ? QStringLiteral("1 CHANGE FROM THE NET APPLIED")
                : QString::number(pass.applied) + QStringLiteral(" CHANGES FROM THE NET APPLIED"));
    if (const QString conflicts = conflictsNotice(pass.conflicts); !conflicts.isEmpty())
        notices << conflicts;
    if (m_share.idInUseElsewhere() && !m_idTold)
        notices << QStringLiteral("ANOTHER PC SHARES AS ") + m_share.stationId()
                + QStringLiteral(" - GIVE THIS ONE A NEW ID IN OPTIONS > NET SHARING");
    m_idTold = m_share.idInUseElsewhere();
    if (m_share.logFailing() && m_share.logFailure() != m_logFailureTold)
        notices << QStringLiteral("NET CHANGES NOT WRITTEN: ") + m_share.logFailure();
    m_logFailureTold = m_share.logFailing() ? m_share.logFailure() : QString();
    if (!pass.refused.isEmpty() && pass.refused != m_refusedTold) {
        notices << QStringLiteral("NET FOLDER: ") + pass.refused.first()
                + (pass.refused.size() > 1
                        ? QStringLiteral(" AND %1 MORE PASSED OVER").arg(pass.refused.size() - 1)
                        : QStringLiteral(" PASSED OVER"));
    }
    if (!pass.refused.isEmpty())
        m_refusedTold = pass.refused;
    if (!notices.isEmpty())
        emit statusLine(notices.join(QStringLiteral(" - ")));
}

QString NetShareMenu::conflictsNotice(int count)
{
    const int told = std::exchange(m_conflictsTold, count);
    if (count == told)
        return QString();
    return count > 0 ? ConflictNotice(count) : QStringLiteral("NO NET CHANGE NEEDS A LOOK");
}

void NetShareMenu::openNetSharing()
{
    FrmNetSharing window(m_services, m_share, m_window);
    connect(&window, &FrmNetSharing::changesRequested, this, &NetShareMenu::openNetChanges);
    if (m_services.dialogs->execModal(&window) == QDialog::Accepted)
        start();
}

void NetShareMenu::openNetChanges()
{
    OneWindow(m_changes, [this] {
        auto *window = new FrmNetChanges(m_services, m_share, m_window);
        connect(
            window, &FrmNetChanges::stationFilesChanged, this, &NetShareMenu::stationFilesChanged);
        connect(window, &FrmNetChanges::conflictsShown, this, [this](int count) {
            if (const QString told = conflictsNotice(count); !told.isEmpty())
                emit statusLine(told);
        });
        return window;
    });
}

void NetShareMenu::openNetMonth()
{
    OneWindow(m_month, [this] { return new FrmNetMonth(m_services, m_share, m_window); });
}

void NetShareMenu::openNetStatistics()
{
    OneWindow(m_statistics,
        [this] { return new FrmNetStatistics(m_services, m_context, m_share, m_window); });
}
