#include "checkinpanel.h"

#include "platform/services.h"
#include "platform/ui/announcer.h"
#include "platform/ui/blockcaret.h"
#include "session/netsession.h"
#include "session/sessionjournal.h"
#include "session/ui/countypanel.h"
#include "session/ui/netinfoframe.h"
#include "stationdb/textforms.h"

#include <QLineEdit>
#include <QListWidget>

CheckinPanel::CheckinPanel(Services &services, NetSession &session, const SessionJournal &journal,
    NetInfoFrame &frame, CountyPanel &counties, QListWidget *nonListed, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_session(session)
    , m_journal(journal)
    , m_frame(frame)
    , m_counties(counties)
    , m_nonListed(nonListed)
{
    GiveBlockCaret(m_frame.txtChkin);
    connect(m_frame.txtChkin, &QLineEdit::returnPressed, this,
        [this] { checkInCall(m_frame.txtChkin->text()); });
    connect(m_frame.txtChkin, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Where Caps Lock cannot be forced on, calls still appear in capitals as typed.
        if (m_services.keyboard->canSetLocks())
            return;
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = m_frame.txtChkin->cursorPosition();
            m_frame.txtChkin->setText(upper);
            m_frame.txtChkin->setCursorPosition(cursor);
        }
    });
    connect(m_frame.lblTraffic, &PressLabel::pressed, this,
        [this](Qt::MouseButton button) { countTraffic(button == Qt::RightButton ? -1 : 1); });
    m_frame.lblTraffic->setText(QStringLiteral("0"));
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
    // The check-in lists show the session's lines, so a line is its check-in's.
    for (const SessionCheckin &c : m_journal.state().checkins) {
        if (!c.line.isEmpty() && c.line == line->text())
            return c.call;
    }
    return QString();
}

void CheckinPanel::updateCounters()
{
    m_frame.lblChkins->setText(QString::number(m_session.checkinCount()));
    nameCounters();
    // A call since added as a member or accepted as another leaves the list; the lines
    // that stay keep what was found about them.
    for (int row = m_nonListed->count() - 1; row >= 0; --row) {
        if (!m_session.nonListed().contains(m_nonListed->item(row)->text()))
            delete m_nonListed->takeItem(row);
    }
}

void CheckinPanel::nameCounters()
{
    // Read by a screen reader as "CHECK INS, 12": the caption with the count.
    m_frame.lblChkins->setAccessibleName(
        QStringLiteral("CHECK INS, %1").arg(m_session.checkinCount()));
    m_frame.lblTraffic->setAccessibleName(QStringLiteral("TRAFFIC, %1").arg(m_session.traffic()));
}

void CheckinPanel::announce(const QString &text)
{
    m_frame.announcer->announce(text);
}

void CheckinPanel::setStatusLine(const QString &text)
{
    m_status = text;
    m_frame.lblStatus->setText(text);
    announce(text);
}

void CheckinPanel::markStatusLine(bool failing)
{
    m_frame.lblStatus->setStyleSheet(failing
            ? QStringLiteral("color: red; font-weight: bold; background-color: yellow;")
            : QStringLiteral("color: red; font-weight: bold;"));
}

void CheckinPanel::returnToCallsign()
{
    m_frame.txtChkin->setFocus();
}

void CheckinPanel::showOutcome(const SessionOutcome &outcome, QListWidgetItem *item)
{
    if (outcome.status)
        setStatusLine(*outcome.status);
    if (!outcome.checkinLine.isEmpty())
        m_counties.lst1->addItem(outcome.checkinLine);
    if (!outcome.nonListed.isEmpty())
        m_nonListed->addItem(outcome.nonListed);
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
    const QStringList lines = state.linesSinceMode();
    m_counties.showEntry(state.mode);
    if (m_session.earlyLateMode()) {
        m_counties.lst1->addItems(lines);
        m_counties.showMemberList();
    }
    m_nonListed->clear();
    m_nonListed->addItems(state.nonListed);
    updateCounters();
    m_frame.lblTraffic->setText(
        state.trafficCounted ? TrafficCaption(state.traffic) : QStringLiteral("0"));
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
    m_frame.txtChkin->clear();
    returnToCallsign();
}

void CheckinPanel::countTraffic(int step)
{
    m_session.countTraffic(step > 0, selectedCheckinCall());
    m_frame.lblTraffic->setText(TrafficCaption(m_session.traffic()));
    nameCounters();
    announce(QStringLiteral("TRAFFIC %1").arg(m_session.traffic()));
}

void CheckinPanel::deleteSelectedCheckin()
{
    QListWidgetItem *line = m_counties.lst1->currentItem();
    const bool chosen = line && line->isSelected();
    const SessionOutcome outcome = m_session.deleteCheckin(
        chosen ? line->text() : QString(), chosen ? CountyPanel::recordOf(line) : 0);
    showOutcome(outcome, chosen ? line : nullptr);
    returnToCallsign();
}
