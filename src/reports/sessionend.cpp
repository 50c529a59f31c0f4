#include "sessionend.h"

#include "monthlytotals.h"
#include "platform/services.h"
#include "stationdb/settingsstore.h"

namespace {

QString SaveQuestion()
{
    return QStringLiteral("Do you want to save this Session's data to the monthly report?");
}

SessionEnd AskAndSave(Services &services, QWidget *parent, const QString &title,
    qint32 sessionCheckins, qint32 sessionTraffic, const QString &sessionId)
{
    const MsgButton answer = services.dialogs->message(
        parent, title, SaveQuestion(), MsgIcon::Warning, Yes | No | Cancel, Cancel);
    if (answer == No)
        return SessionEnd::NotSaved;
    if (answer != Yes)
        return SessionEnd::Cancelled;
    const Status saved
        = AddSessionToStoredTotals(*services.settings, sessionCheckins, sessionTraffic, sessionId);
    if (saved)
        return SessionEnd::Saved;
    // Quitting now would drop the night's figures; the operator stays in the session and
    // can try again or write them down.
    services.dialogs->message(parent, QStringLiteral("SAVE SESSION"),
        QStringLiteral("The session could not be added to the monthly "
                       "report.\nSETTINGS NOT SAVED: ")
            + saved.error(),
        MsgIcon::Critical, Ok);
    return SessionEnd::Cancelled;
}

} // namespace

SessionEnd EndSession(Services &services, QWidget *parent, qint32 sessionCheckins,
    qint32 sessionTraffic, const QString &sessionId)
{
    return AskAndSave(services, parent, QStringLiteral("SAVE SESSION"), sessionCheckins,
        sessionTraffic, sessionId);
}

SessionEnd ErrorHandlerDialogue(Services &services, QWidget *parent,
    const QString &errorDescription, qint32 sessionCheckins, qint32 sessionTraffic,
    const QString &sessionId)
{
    services.dialogs->message(parent, QString(), errorDescription, MsgIcon::Critical, Ok);
    return AskAndSave(services, parent, QString(), sessionCheckins, sessionTraffic, sessionId);
}
