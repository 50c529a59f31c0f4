#include "callsignassist.h"

#include "licences/unknowncall.h"
#include "maintenance/membereditor.h"
#include "platform/clock.h"
#include "qrz/qrzclient.h"
#include "stationdb/countytable.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <utility>

CallsignAssist::CallsignAssist(QLineEdit *box, const CountyTable &table, const QString &licencePath,
    const QString &retiredPath, Clock &clock, CheckIn checkIn, ShowStatus showStatus)
    : QObject(box)
    , m_box(box)
    , m_table(table)
    , m_licences(licencePath)
    , m_clock(clock)
    , m_checkIn(std::move(checkIn))
    , m_showStatus(std::move(showStatus))
    , m_retiredPath(retiredPath)
{
    box->installEventFilter(this);
}

QString CallsignAssist::explainNotFound(const QString &call, QListWidgetItem *line)
{
    m_suggestionFor = call;
    // A member of old who is heard again comes before any near miss of the call.
    m_archived = FindArchivedStation(m_retiredPath, call);
    QString text;
    if (m_archived) {
        m_suggestion.reset();
        text = ArchivedOfferText(*m_archived, m_table);
    } else {
        const UnknownCallAnswer answer
            = AnswerUnknownCall(call, &m_licences, m_table, m_clock.today());
        m_suggestion = answer.suggestion;
        if (answer.detail.isEmpty())
            return QString();
        text = NotFoundText(call, answer);
    }
    if (line)
        line->setToolTip(text);
    return text;
}

std::optional<QrzAnswer> CallsignAssist::offlineAnswer(const QString &call)
{
    if (!m_licences.exists() || call.isEmpty())
        return std::nullopt;
    const Result<std::optional<Licence>> found = m_licences.find(call);
    if (!found || !found->has_value())
        return std::nullopt;
    const Licence &l = **found;
    // The QRZ rules: the first word of the first name, the city with the state after it.
    QrzAnswer answer;
    answer.fname = l.firstName.isEmpty() ? l.entityName : l.firstName;
    answer.addr2 = l.city;
    if (!l.state.isEmpty())
        answer.state = l.state;
    return answer;
}

QString CallsignAssist::ageNotice()
{
    if (!m_licences.exists())
        return QString();
    const Result<QDate> date = m_licences.fileDate();
    return date ? LicenceAgeNotice(*date, m_clock.today()) : date.error();
}

QListWidget *CallsignAssist::suffixList() const
{
    return m_list;
}

bool CallsignAssist::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_box && enter) {
        // The suggestion belongs to the call typed last: any other Enter forgets it.
        const std::optional<MemberCall> suggestion = std::exchange(m_suggestion, std::nullopt);
        const std::optional<ArchivedStation> archived = std::exchange(m_archived, std::nullopt);
        const bool empty = m_box->text().trimmed().isEmpty();
        if ((key->modifiers() & Qt::ControlModifier) && empty) {
            // The suggestion of the last call found nowhere, checked in as if typed.
            if (archived)
                emit archivedChosen(*archived);
            else if (suggestion)
                m_checkIn(suggestion->call, m_suggestionFor);
            return true;
        }
        if (const std::optional<QString> letters = SuffixQuery(m_box->text())) {
            showSuffixList(*letters);
            return true;
        }
        return false; // a typed call, with or without Ctrl: the box's own Enter
    }
    if (m_list && watched == m_list) {
        if (enter) {
            takeListLine();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeSuffixList();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CallsignAssist::showSuffixList(const QString &letters)
{
    const MemberCallSearch search = FindBySuffix(m_table, letters);
    if (search.found.empty()) {
        // The next call starts in an empty box, as after every other outcome.
        m_box->clear();
        m_showStatus(QStringLiteral("NO MEMBER CALL ENDS IN ") + letters);
        return;
    }
    if (!m_list) {
        // A child of the window, not a popup of its own: it stays under the box and goes
        // with the window.
        m_list = new QListWidget(m_box->window());
        m_list->setObjectName(QStringLiteral("lstSuffix"));
        m_list->setAccessibleName(QStringLiteral("MEMBERS BY SUFFIX"));
        m_list->installEventFilter(this);
        connect(m_list, &QListWidget::itemActivated, this, [this] { takeListLine(); });
    }
    m_list->clear();
    for (const MemberCall &m : search.found) {
        auto *line = new QListWidgetItem(
            QStringLiteral("%1  %2  %3").arg(m.call, m.name, m.county), m_list);
        line->setData(Qt::UserRole, m.call);
    }
    // Under the box, as wide as its longest line, every row whole, inside the window.
    const QWidget *window = m_box->window();
    const QPoint below = m_box->mapTo(window, QPoint(0, m_box->height()));
    const int rows = std::min<int>(int(search.found.size()), 8);
    const int frame = 2 * m_list->frameWidth();
    const int width = std::min(window->width(),
        std::max({ m_box->width(), 260, m_list->sizeHintForColumn(0) + frame + 4 }));
    const int height = std::min(window->height(), rows * m_list->sizeHintForRow(0) + frame);
    m_list->setGeometry(std::clamp(below.x(), 0, window->width() - width),
        std::clamp(below.y(), 0, window->height() - height), width, height);
    m_list->setCurrentRow(0);
    m_list->show();
    m_list->raise();
    m_list->setFocus();
}

void CallsignAssist::closeSuffixList()
{
    if (m_list)
        m_list->hide();
    m_box->clear();
    m_box->setFocus();
}

void CallsignAssist::takeListLine()
{
    const QListWidgetItem *line = m_list ? m_list->currentItem() : nullptr;
    const QString call = line ? line->data(Qt::UserRole).toString() : QString();
    closeSuffixList();
    if (!call.isEmpty())
        m_checkIn(call, QString());
}
