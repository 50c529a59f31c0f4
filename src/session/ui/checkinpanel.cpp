#include "checkinpanel.h"

#include "platform/services.h"
#include "platform/ui/announcer.h"
#include "platform/ui/blockcaret.h"
#include "platform/ui/stationlines.h"
#include "session/netsession.h"
#include "session/sessionreplay.h"
#include "session/ui/countypanel.h"
#include "session/ui/netinfoframe.h"
#include "stationdb/textforms.h"

#include <QLineEdit>
#include <QListWidget>

CheckinPanel::CheckinPanel(Services &services, NetSession &session, NetInfoFrame &frame,
    CountyPanel &counties, QListWidget *nonListed, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_session(session)
    , m_frame(frame)
    , m_counties(counties)
    , m_nonListed(nonListed)
{
    QLineEdit *box = m_frame.callsignBox();
    GiveBlockCaret(box);
    connect(&m_frame, &NetInfoFrame::callEntered, this, &CheckinPanel::checkInCall);
    connect(box, &QLineEdit::textEdited, this, [this, box](const QString &text) {
        // Where Caps Lock cannot be forced on, calls still appear in capitals as typed.
        if (m_services.keyboard->canSetLocks())
            return;
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = box->cursorPosition();
            box->setText(upper);
            box->setCursorPosition(cursor);
        }
    });
    connect(&m_frame, &NetInfoFrame::trafficPressed, this,
        [this](Qt::MouseButton button) { countTraffic(button == Qt::RightButton ? -1 : 1); });
    nameCounters();
}

QString CheckinPanel::selectedCheckinCall()
{
    QListWidgetItem *line = m_counties.selectedLine();
    if (!line)
        return QString();
    if (!m_session.earlyLateMode()) {
        // A member line counts when its station is checked in.
        const std::optional<MemberRef> member = m_session.member(CountyPanel::recordOf(line));
        return member && m_session.checkins().find(member->call, CheckinTable::Last) > 0
            ? member->call
            : QString();
    }
    // A line of the check-in lists knows its station.
    return StationCallOf(line);
}

void CheckinPanel::updateCounters()
{
    nameCounters();
    // A call since added as a member or accepted as another leaves the list; the lines
    // that stay keep what was found about them.
    for (int row = m_nonListed->count() - 1; row >= 0; --row) {
        if (!m_session.nonListed().contains(StationCallOf(m_nonListed->item(row))))
            delete m_nonListed->takeItem(row);
    }
}

void CheckinPanel::nameCounters()
{
    // Read by a screen reader as "CHECK INS, 12": the caption with the count.
    m_frame.showCheckins(m_session.checkinCount());
    m_frame.showTraffic(m_trafficCaption, m_session.traffic());
}

void CheckinPanel::announce(const QString &text)
{
    m_frame.announce(text);
}

void CheckinPanel::setStatusLine(const QString &text)
{
    m_status = text;
    m_frame.showStatus(text);
    announce(text);
}

void CheckinPanel::markStatusLine(bool failing)
{
    m_frame.markStatus(failing);
}

void CheckinPanel::returnToCallsign()
{
    m_frame.focusCallsign();
}

void CheckinPanel::showOutcome(const SessionOutcome &outcome, QListWidgetItem *item)
{
    if (outcome.status)
        setStatusLine(*outcome.status);
    if (!outcome.checkinLine.isEmpty())
        m_counties.appendLine(outcome.checkinLine, 0, outcome.checkinCall);
    if (!outcome.nonListed.isEmpty())
        AddStationLine(m_nonListed, outcome.nonListed, outcome.nonListed);
    if (item && outcome.unmarkLine)
        item->setCheckState(Qt::Unchecked);
    if (item && outcome.removeLine)
        delete item;
    if (!outcome.checkinLine.isEmpty() || (item && outcome.removeLine))
        m_counties.showMemberList();
    if (!outcome.sound.isEmpty())
        m_services.sounds->play(outcome.sound);
    updateCounters();
    if (outcome.checkedIn && outcome.status)
        announce(*outcome.status
            + (outcome.county.isEmpty() ? QString() : QStringLiteral(", ") + outcome.county)
            + QStringLiteral(" - CHECK INS %1").arg(m_session.checkinCount()));
}

void CheckinPanel::showResumed(const SessionState &state)
{
    // The net comes back in the list it was in: a county's members, or the early or late
    // list with what was checked in since it was chosen. Taken first: showing the list is a
    // choice the journal's state learns of.
    const QList<SessionCheckin> lines = state.checkinsSinceMode();
    m_counties.showEntry(state.mode);
    if (m_session.earlyLateMode()) {
        for (const SessionCheckin &c : lines)
            m_counties.appendLine(c.line, 0, c.call);
    }
    m_nonListed->clear();
    for (const QString &call : state.nonListed)
        AddStationLine(m_nonListed, call, call);
    m_trafficCaption = state.trafficCounted ? TrafficCaption(state.traffic) : QStringLiteral("0");
    updateCounters();
}

void CheckinPanel::checkInCall(const QString &call)
{
    const SessionOutcome outcome = m_session.typedCheckin(call, m_services.clock->today());
    showOutcome(outcome);
    if (!outcome.notFound.isEmpty()) {
        const QList<QListWidgetItem *> lines
            = m_nonListed->findItems(outcome.notFound, Qt::MatchExactly);
        emit notFound(outcome.notFound, outcome.notice, lines.value(0));
    }
    m_frame.clearTypedCall();
    returnToCallsign();
}

void CheckinPanel::countTraffic(int step)
{
    m_session.countTraffic(step > 0, selectedCheckinCall());
    m_trafficCaption = TrafficCaption(m_session.traffic());
    nameCounters();
    announce(QStringLiteral("TRAFFIC %1").arg(m_session.traffic()));
}

void CheckinPanel::deleteSelectedCheckin()
{
    QListWidgetItem *line = m_counties.selectedLine();
    const bool chosen = line != nullptr;
    const SessionOutcome outcome = m_session.deleteCheckin(
        chosen ? StationCallOf(line) : QString(), chosen ? CountyPanel::recordOf(line) : 0);
    showOutcome(outcome, chosen ? line : nullptr);
    returnToCallsign();
}
