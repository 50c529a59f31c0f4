#pragma once

#include <QString>

class QWidget;
struct Services;

enum class SessionEnd { Saved, NotSaved, Cancelled };

// Asks the "SAVE SESSION" question; on Yes adds the session to the stored totals. A store
// that cannot be written is reported and gives Cancelled, so the figures are not lost.
// sessionId names the session (its journal's start), so it is never counted twice.
SessionEnd EndSession(Services &services, QWidget *parent, qint32 sessionCheckins,
    qint32 sessionTraffic, const QString &sessionId = QString());

// The ErrorHandler dialogue: shows the error, asks the same question without a title; on Yes
// saves the totals (the caller then saves its appearance settings and ends the program).
SessionEnd ErrorHandlerDialogue(Services &services, QWidget *parent,
    const QString &errorDescription, qint32 sessionCheckins, qint32 sessionTraffic,
    const QString &sessionId = QString());
