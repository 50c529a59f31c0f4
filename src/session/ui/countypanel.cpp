#include "countypanel.h"

#include "platform/named.h"
#include "platform/services.h"
#include "platform/ui/keyfilter.h"
#include "platform/ui/stationlines.h"
#include "session/netsession.h"
#include "stationdb/countytable.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

constexpr int MemberRecordRole = Qt::UserRole + 1;

} // namespace

CountyPanel::CountyPanel(Services &services, NetSession &session, QWidget *canvas)
    : QObject(canvas)
    , fraCounties(Named(new QGroupBox(QStringLiteral("COUNTIES"), canvas), "fraCounties"))
    , lstCounties(Named(new QListWidget(fraCounties), "lstCounties"))
    , FraStations(Named(new QGroupBox(QStringLiteral("NET MEMBERS"), canvas), "FraStations"))
    , lst1(Named(new QListWidget(FraStations), "lst1"))
    , m_services(services)
    , m_session(session)
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_settle, &QTimer::timeout, this, [this] { showCurrentCounty(true); });
    lst1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lst1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lst1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &at) { emit memberMenuRequested(lst1->viewport()->mapToGlobal(at)); });
    // Screen readers name each list by its frame's caption.
    lstCounties->setAccessibleName(fraCounties->title());
    lst1->setAccessibleName(FraStations->title());
    connect(lstCounties, &QListWidget::currentRowChanged, this, [this] {
        if (m_choosingByKey)
            m_settle->start(); // again at each key: only where the keys stop counts
        else
            showCurrentCounty(false);
    });
    connect(lst1, &QListWidget::itemClicked, this, &CountyPanel::memberLineClicked);
    connect(lst1, &QListWidget::itemChanged, this, &CountyPanel::speakAsWords);
    lst1->installEventFilter(this);
    lstCounties->installEventFilter(this);
}

CountyPanel::Filled CountyPanel::fill(const CountyTable &table)
{
    lstCounties->blockSignals(true);
    lstCounties->clear();
    lstCounties->addItem(QStringLiteral("EARLY CHECKINS"));
    Filled filled;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const Result<bool> hasMembers = table.FileHasMembers(table.displayName(p));
        // A county whose file cannot be read stays in the list: choosing it tells why.
        if (!hasMembers)
            filled.unreadable << hasMembers.error();
        if (!hasMembers || hasMembers.value()) {
            lstCounties->addItem(table.displayName(p));
            ++filled.counties;
        }
    }
    lstCounties->addItem(QStringLiteral("LATE CHECKINS"));
    lstCounties->setCurrentRow(-1);
    lstCounties->blockSignals(false);
    return filled;
}

bool CountyPanel::offersMemberMenu() const
{
    if (m_session.earlyLateMode())
        return false;
    // A line that stands for a member of the county shown.
    return m_session.member(recordOf(lst1->currentItem())).has_value();
}

void CountyPanel::arrange(bool noPreamble)
{
    const double cw = fraCounties->width(), ch = fraCounties->height();
    const int countiesHeight = int(ch * 0.96) - 4;
    lstCounties->setGeometry(int(cw * 0.0389), int(countiesHeight * 0.0387), int(cw * 0.93),
        countiesHeight - int(countiesHeight * 0.0387));
    const double sw = FraStations->width(), sh = FraStations->height();
    lst1->setGeometry(int(sw * 0.0259), int(sh * 0.0513), int(sw * 0.94),
        int(sh * (noPreamble ? 0.94 : 0.9131)) - 2);
}

void CountyPanel::showFirstEntry()
{
    lstCounties->setCurrentRow(0);
}

void CountyPanel::showCountyAgain()
{
    showCurrentCounty(false);
}

void CountyPanel::showEntry(const QString &entry)
{
    const QList<QListWidgetItem *> found = lstCounties->findItems(entry, Qt::MatchExactly);
    lstCounties->blockSignals(true);
    lstCounties->setCurrentRow(found.isEmpty() ? 0 : lstCounties->row(found.first()));
    lstCounties->blockSignals(false);
    showCurrentCounty(false);
}

bool CountyPanel::countyPending() const
{
    return m_settle->isActive();
}

void CountyPanel::settleCounty()
{
    if (m_settle->isActive())
        showCurrentCounty(true);
}

void CountyPanel::showCurrentCounty(bool byKey)
{
    m_settle->stop();
    QListWidgetItem *chosen = lstCounties->currentItem();
    if (!chosen)
        return;
    const CountyChoice choice = m_session.chooseEntry(
        chosen->text(), m_services.clock->today(), m_options.retainCheckmark);
    if (choice.status)
        emit statusLine(*choice.status);
    if (!choice.sound.isEmpty())
        m_services.sounds->play(choice.sound);
    FraStations->setTitle(choice.caption);
    lst1->setAccessibleName(choice.caption);
    lst1->clear();
    const bool countyMode = !m_session.earlyLateMode();
    emit countyLeaving();
    for (qsizetype i = 0; i < choice.lines.size(); ++i) {
        auto *item = new QListWidgetItem(choice.lines[i], lst1);
        if (countyMode) {
            // The tick shows the check-in table: only a check-in or a take-back changes it.
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            // The line knows its record and station; its text is only for the eye.
            item->setData(MemberRecordRole, choice.records[i]);
            if (const std::optional<MemberRef> member = m_session.member(choice.records[i]))
                item->setData(StationCallRole, member->call);
            speakAsWords(item);
        }
    }
    for (int row : choice.marked)
        lst1->item(row)->setCheckState(Qt::Checked);
    showMemberList();
    // A county called up from the keyboard leaves the caret in the list, so the arrows go on
    // choosing and Tab leads to its members.
    emit countyShown(choice, byKey);
}

void CountyPanel::memberLineClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    chooseMemberLine(item);
    emit done();
}

void CountyPanel::chooseMemberLine(QListWidgetItem *item)
{
    if (m_session.earlyLateMode())
        return;
    const int record = recordOf(item);
    const SessionOutcome outcome = m_session.memberLineClick(
        record, m_services.clock->today(), m_options.ding, m_options.dingFile);
    // A click on the box of a station checked in already must not take its mark away.
    if (outcome.standsCheckedIn)
        item->setCheckState(Qt::Checked);
    emit memberLineChosen(outcome, item);
}

void CountyPanel::speakAsWords(QListWidgetItem *line)
{
    // A screen reader reads "KC4AYI, BOB, HAYDEN, checked in", not columns of blanks.
    const int record = recordOf(line);
    const std::optional<MemberRef> member = m_session.member(record);
    if (!member)
        return;
    const StationRecord &station = m_session.currentMembers().at(record - 1);
    QStringList words { member->call, station.Name.trimmed(), station.City.trimmed() };
    words.removeAll(QString());
    if (line->checkState() == Qt::Checked)
        words << QStringLiteral("checked in");
    const QString spoken = words.join(QStringLiteral(", "));
    if (line->data(Qt::AccessibleTextRole).toString() != spoken)
        line->setData(Qt::AccessibleTextRole, spoken);
}

bool CountyPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the list (Tab to the members, a click elsewhere) settles on the line reached.
    if (watched == lstCounties && event->type() == QEvent::FocusOut)
        settleCounty();
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (watched == lst1) {
        // Enter or Space on a member line is a click on it; the caret stays in the list so
        // the next member is one arrow away.
        const int k = key->key();
        if (IsLineActivation(*key)) {
            if (QListWidgetItem *item = lst1->currentItem()) {
                item->setSelected(true);
                chooseMemberLine(item);
            }
            return true;
        }
        // The line the arrows, Home or End reach is the line chosen, even the one that had
        // the focus frame already (the list moves only when the line changes).
        if (k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_Up || k == Qt::Key_Down
            || k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
            static_cast<QObject *>(lst1)->event(event);
            if (QListWidgetItem *item = lst1->currentItem())
                item->setSelected(true);
            return true;
        }
    } else if (watched == lstCounties) {
        const int k = key->key();
        // A space in the middle of a typed name ("ST CLAIR", "NEW YORK") is part of it.
        const bool typing = m_lastLetter.isValid()
            && m_lastLetter.elapsed() < QApplication::keyboardInputInterval();
        if ((k == Qt::Key_Return || k == Qt::Key_Enter || (k == Qt::Key_Space && !typing))
            && key->modifiers() == Qt::NoModifier) {
            settleCounty();
            return true;
        }
        if (!key->text().isEmpty() && key->text().front().isLetterOrNumber())
            m_lastLetter.start();
        else if (k != Qt::Key_Space)
            m_lastLetter.invalidate();
        if (k == Qt::Key_Tab || k == Qt::Key_Backtab)
            settleCounty(); // before the members' list takes the caret
        const QScopedValueRollback<bool> byKey(m_choosingByKey, true);
        return static_cast<QObject *>(lstCounties)->event(event);
    }
    return QObject::eventFilter(watched, event);
}

QListWidgetItem *CountyPanel::selectedLine() const
{
    QListWidgetItem *line = lst1->currentItem();
    return line && line->isSelected() ? line : nullptr;
}

int CountyPanel::recordOf(QListWidgetItem *line)
{
    return line ? line->data(MemberRecordRole).toInt() : 0;
}

QListWidgetItem *CountyPanel::lineOfRecord(int record) const
{
    for (int row = 0; record > 0 && row < lst1->count(); ++row) {
        if (recordOf(lst1->item(row)) == record)
            return lst1->item(row);
    }
    return nullptr;
}

void CountyPanel::appendLine(const QString &text, int record, const QString &call)
{
    QListWidgetItem *item = AddStationLine(lst1, text, call);
    if (record > 0 && !m_session.earlyLateMode()) {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setData(MemberRecordRole, record);
    }
    showMemberList();
}

void CountyPanel::showMemberList()
{
    // A refilled list is laid out and painted now. Left to the view's deferred layout, a
    // refill that follows a click on a line (the caret gone back to CALLSIGN), in a frame
    // filled with the stored form colour, was laid out without its viewport being
    // repainted: under a window manager the screen kept the previous county's lines, and a
    // click hit the station of the new list in that row.
    lst1->doItemsLayout();
}
